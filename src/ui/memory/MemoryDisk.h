#pragma once
// A whole disk in memory, for the logic's tests, the native tests and the fuzz targets, none of
// which need the real platform: folders,
// files with their bytes, links to folders (loops included), and the faults a test asks for:
// listings that fail after some entries, files that vanish once listed, look-ups that cannot
// examine, and writes that run out of space. Paths are exact text, "C:\A\b.dll".

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>

#include <cstring>

#include "inspect/ComponentFiles.h"
#include "inspect/SystemFacts.h"
#include "model/FileSystem.h"
#include "model/ProwlError.h"

namespace prowl {

class MemoryDisk : public FileSystem {
  public:
    struct ListingFault {
        ListStatus status = ListStatus::Failed;
        std::size_t entriesBefore = 0;
    };
    std::map<std::wstring, ListingFault> listingFaults;  // by the folder path as asked for
    std::set<std::wstring> unexaminable;                 // look-ups answer CannotExamine
    bool vanishWhenListed = false;  // every file is gone by the time it is looked up
    int writesBeforeFailure = -1;   // of each replacement; -1: the disk never fills
    std::function<void(const std::wstring& folder)> onList;  // runs before each listing

    // Each with any missing parent folders.
    void Folder(const std::wstring& path) { Make(path, true); }
    void File(const std::wstring& path, std::string bytes = {}, uint32_t attributes = 0) {
        Node& node = Make(path, false);
        node.bytes = std::move(bytes);
        node.attributes = attributes;
    }
    // A folder link at `path` that leads to the folder at `target` (which may hold the link).
    void Link(const std::wstring& path, const std::wstring& target) {
        Make(path, true).linkTo = target;
    }
    void Remove(const std::wstring& path) { nodes_.erase(path); }
    std::string Bytes(const std::wstring& path) const {
        const auto it = nodes_.find(path);
        return it == nodes_.end() || it->second.folder ? "<missing>" : it->second.bytes;
    }

    ListStatus ListFolder(const std::wstring& folder, std::vector<DirEntry>& entries,
                          std::wstring* error) override {
        if (onList) onList(folder);
        entries.clear();
        const std::wstring* real = Resolve(folder);
        if (!real) return ListStatus::NotFound;
        const Node& node = nodes_.at(*real);
        if (!node.folder) return Fail(error, ListStatus::Failed);
        for (const auto& name : node.children) {
            const auto child = nodes_.find(Join(*real, name));
            if (child == nodes_.end()) continue;  // removed since
            uint32_t attributes = child->second.attributes;
            if (child->second.folder) attributes |= kAttrDirectory;
            if (!child->second.linkTo.empty()) attributes |= kAttrReparsePoint;
            if (attributes & (kAttrHidden | kAttrSystem)) continue;
            entries.push_back({name, attributes});
        }
        const auto fault = listingFaults.find(folder);
        if (fault == listingFaults.end()) return ListStatus::Ok;
        entries.resize(std::min(entries.size(), fault->second.entriesBefore));
        return Fail(error, fault->second.status);
    }
    FileLookup LookUpFile(const std::wstring& path, std::wstring* error) override {
        if (unexaminable.contains(path)) {
            if (error) *error = L"Access is denied.";
            return FileLookup::CannotExamine;
        }
        const Node* node = Find(path);
        return node && !node->folder && !vanishWhenListed &&
                       !(node->attributes & (kAttrHidden | kAttrSystem))
                   ? FileLookup::Present
                   : FileLookup::Absent;
    }
    std::optional<uint32_t> GetAttributes(const std::wstring& path) override {
        const Node* node = Find(path);
        if (!node) return std::nullopt;
        return node->attributes | (node->folder ? kAttrDirectory : 0u);
    }
    bool FileExists(const std::wstring& path) override {
        const Node* node = Find(path);
        return node && !node->folder;
    }
    bool FolderExists(const std::wstring& path) override {
        const Node* node = Find(path);
        return node && node->folder;
    }
    std::optional<FileIdentity> GetIdentity(const std::wstring& path) override {
        const Node* node = Find(path);
        if (!node) return std::nullopt;
        return FileIdentity{1, node->id};
    }
    void CheckVolume(const std::wstring& path) override {
        if (!nodes_.contains(path.substr(0, path.find(L'\\'))))
            throw ProwlError(L"The system cannot find the drive specified.");
    }
    FileDetails GetFile(const std::wstring& path) override {
        const Node* node = Find(path);
        if (!node || node->folder) throw ProwlError(L"The system cannot find the file specified.");
        return {node->bytes.size(), 0, 0, 0, L"Application extension"};
    }
    std::string ReadAllBytes(const std::wstring& path) override {
        const Node* node = Find(path);
        if (!node || node->folder) throw ProwlError(L"The system cannot find the file specified.");
        return node->bytes;
    }
    void ReplaceFileContents(const std::wstring& path, const std::string& bytes) override {
        if (writesBeforeFailure == 0) throw ProwlError(kDiskFull);
        Store(path, bytes);
    }
    std::unique_ptr<FileReplacement> BeginReplaceFile(const std::wstring& path) override {
        struct Filling final : FileReplacement {
            MemoryDisk& disk;
            std::wstring path;
            std::string bytes;
            int writesLeft;
            Filling(MemoryDisk& d, std::wstring p)
                : disk(d), path(std::move(p)), writesLeft(d.writesBeforeFailure) {}
            void Write(std::string_view piece) override {
                if (writesLeft >= 0 && writesLeft-- == 0) throw ProwlError(kDiskFull);
                bytes.append(piece);
            }
            void Commit() override { disk.Store(path, bytes); }
        };
        return std::make_unique<Filling>(*this, path);
    }

    static constexpr const wchar_t* kDiskFull = L"There is not enough space on the disk.";

  private:
    void Store(const std::wstring& path, const std::string& bytes) {
        const Node* node = Find(path);
        if (node && (node->folder || (node->attributes & kAttrReadOnly)))
            throw ProwlError(L"Access is denied.");
        if (!node && !Find(Parent(path)))
            throw ProwlError(L"The system cannot find the path specified.");
        if (node)
            nodes_.at(*Resolve(path)).bytes = bytes;
        else
            File(path, bytes);
    }
    struct Node {
        bool folder = false;
        uint64_t id = 0;
        uint32_t attributes = 0;
        std::string bytes;
        std::wstring linkTo;
        std::vector<std::wstring> children;  // in the order made: the listing order
    };
    static std::wstring Join(const std::wstring& folder, const std::wstring& name) {
        return folder.ends_with(L'\\') ? folder + name : folder + L"\\" + name;
    }
    static std::wstring Parent(const std::wstring& path) {
        const auto slash = path.find_last_of(L'\\');
        return slash == std::wstring::npos ? L"" : path.substr(0, slash);
    }
    static ListStatus Fail(std::wstring* error, ListStatus status) {
        if (error) *error = L"Access is denied.";
        return status;
    }
    Node& Make(std::wstring path, bool folder) {
        while (path.size() > 2 && path.ends_with(L'\\')) path.pop_back();
        const std::wstring parent = Parent(path);
        auto [it, made] = nodes_.try_emplace(path);
        if (made) {
            it->second.folder = folder;
            it->second.id = ++ids_;
            if (!parent.empty()) {
                Make(parent, true);
                nodes_.at(parent).children.push_back(path.substr(parent.size() + 1));
            }
        }
        return it->second;
    }
    // The path with every link on the way followed; null when nothing is there or the links
    // go round more often than any real system follows them.
    const std::wstring* Resolve(std::wstring path) {
        while (path.size() > 2 && path.ends_with(L'\\')) path.pop_back();
        std::wstring at;
        std::size_t begin = 0;
        for (int hops = 0;;) {
            const std::size_t slash = path.find(L'\\', begin);
            at = at.empty() ? path.substr(0, slash) : Join(at, path.substr(begin, slash - begin));
            auto it = nodes_.find(at);
            if (it == nodes_.end()) return nullptr;
            if (!it->second.linkTo.empty()) {
                if (++hops > 40) return nullptr;
                at = it->second.linkTo;
                it = nodes_.find(at);
                if (it == nodes_.end()) return nullptr;
            }
            if (slash == std::wstring::npos) return &it->first;
            begin = slash + 1;
        }
    }
    const Node* Find(const std::wstring& path) {
        const std::wstring* real = Resolve(path);
        return real ? &nodes_.at(*real) : nullptr;
    }

    std::unordered_map<std::wstring, Node> nodes_;
    uint64_t ids_ = 0;
};

// The same disk as inspection reads it, with the system folders of a 64-bit Windows in C:\W.
class MemoryComponents : public ComponentFiles, public SystemFacts {
  public:
    explicit MemoryComponents(MemoryDisk& disk) : disk_(disk) {}
    std::unique_ptr<ByteSource> Open(const std::wstring& path) override {
        struct Bytes final : ByteSource {
            std::string bytes;
            uint64_t Size() const override { return bytes.size(); }
            bool Read(uint64_t offset, void* buffer, std::size_t length) override {
                if (offset > bytes.size() || length > bytes.size() - offset) return false;
                if (length) std::memcpy(buffer, bytes.data() + offset, length);
                return true;
            }
        };
        if (!disk_.FileExists(path)) return nullptr;
        auto source = std::make_unique<Bytes>();
        source->bytes = disk_.Bytes(path);
        return source;
    }
    bool FileExists(const std::wstring& path) override { return disk_.FileExists(path); }
    std::vector<std::wstring> FoldersStartingWith(const std::wstring&, const std::wstring&,
                                                  std::size_t) override {
        return {};
    }
    std::wstring SystemFolder(Bitness bitness) const override {
        return bitness == Bitness::Bits64 ? L"C:\\W\\System32" : L"C:\\W\\SysWOW64";
    }
    std::wstring WindowsFolder() const override { return L"C:\\W"; }
    std::optional<std::wstring> Environment(const std::wstring&) const override {
        return std::nullopt;
    }
    bool IsElevated() const override { return true; }
    std::wstring LongPath(const std::wstring& path) const override { return path; }

  private:
    MemoryDisk& disk_;
};

}  // namespace prowl
