#include "projectfile/Report.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "inspect/ComponentFacts.h"
#include "inspect/ComponentTexts.h"
#include "model/Records.h"
#include "model/TextCase.h"
#include "projectfile/ChunkedBytes.h"
#include "projectfile/TextEncoding.h"

namespace prowl {
namespace {

constexpr std::string_view kHeader =
    "Path,Type,Included,Exists Now,Built For,Registered,Missing DLLs\r\n";

// Which files are in a folder now, from one listing. A folder that cannot be listed (access
// denied) is not taken as empty: its files are looked up one by one instead.
class FilesNow {
  public:
    explicit FilesNow(FileSystem& fs) : fs_(fs) {}

    bool Exists(const std::wstring& path) {
        const std::size_t slash = path.rfind(L'\\');
        if (slash == std::wstring::npos) return LookUp(path);
        // A drive root's folder keeps its backslash ("C:\" rather than "C:").
        const std::wstring_view folder(path.data(), slash == 2 && path[1] == L':' ? 3 : slash);
        // Records come folder by folder: most rows ask about the folder the last one did.
        if (!last_ || last_->first != folder) {
            std::wstring key(folder);
            auto found = folders_.find(key);
            if (found == folders_.end()) found = folders_.emplace(key, List(key)).first;
            last_ = &*found;
        }
        const Listing& listing = last_->second;
        if (listing.status == ListStatus::NotFound) return false;
        if (listing.status == ListStatus::Failed) return LookUp(path);
        return listing.upperNames.contains(UpperCase(path.substr(slash + 1)));
    }

  private:
    struct Listing {
        ListStatus status = ListStatus::NotFound;
        std::unordered_set<std::wstring> upperNames;  // files only
    };

    // A folder in one that is gone is gone too, without asking the disk: a project whose
    // tree was moved or deleted costs a listing per parent folder, not one per folder.
    Listing List(const std::wstring& folder) {
        Listing listing;
        const std::size_t slash = folder.rfind(L'\\');
        const std::wstring parent = slash != std::wstring::npos && slash > 2
                                        ? folder.substr(0, slash)
                                        : std::wstring();  // none above a drive root
        if (!parent.empty() && gone_.contains(parent)) {
            gone_.insert(folder);
            return listing;
        }
        std::vector<DirEntry> entries;
        listing.status = fs_.ListFolder(folder, entries, nullptr);
        if (listing.status == ListStatus::NotFound) {
            gone_.insert(folder);
            if (!parent.empty() && checked_.insert(parent).second && !fs_.FolderExists(parent))
                gone_.insert(parent);
        }
        if (listing.status == ListStatus::Ok)
            for (const DirEntry& entry : entries)
                if (!entry.IsFolder()) listing.upperNames.insert(UpperCase(entry.Name));
        return listing;
    }
    bool LookUp(const std::wstring& path) {
        return fs_.LookUpFile(path, nullptr) == FileLookup::Present;
    }

    FileSystem& fs_;
    std::unordered_map<std::wstring, Listing> folders_;
    std::unordered_set<std::wstring> gone_, checked_;
    const std::pair<const std::wstring, Listing>* last_ = nullptr;  // nodes stay put
};

// The loader's search folders are the same for every file of a folder: each DLL looked for
// there is looked for once per report, not once per file that imports it.
class RememberedFiles final : public ComponentFiles {
  public:
    explicit RememberedFiles(ComponentFiles& files) : files_(files) {}
    std::unique_ptr<ByteSource> Open(const std::wstring& path) override {
        return files_.Open(path);
    }
    bool FileExists(const std::wstring& path) override {
        const auto found = exists_.find(path);
        if (found != exists_.end()) return found->second;
        return exists_.emplace(path, files_.FileExists(path)).first->second;
    }
    std::vector<std::wstring> FoldersStartingWith(const std::wstring& folder,
                                                  const std::wstring& prefix,
                                                  std::size_t limit) override {
        return files_.FoldersStartingWith(folder, prefix, limit);
    }

  private:
    ComponentFiles& files_;
    std::unordered_map<std::wstring, bool> exists_;
};

// The report's bytes, made straight from the records.
class CsvOut : public ChunkedBytes {
  public:
    explicit CsvOut(FileReplacement& file) : ChunkedBytes(file) {
        Put("\xEF\xBB\xBF");
        Put(kHeader);
    }

    // Fields of one row, each followed by a comma, except the last, followed by CR LF.
    void Field(std::wstring_view text) {
        // Copy as if plain ASCII that needs no quotes, and keep the copy only if it was: nearly
        // every path is.
        const std::size_t n = text.size();
        if (static_cast<std::size_t>(end_ - cur_) <= n) MakeRoom(n + 1);
        char* const out = cur_;
        const wchar_t* const in = text.data();
        unsigned seen = 0;
        bool special = false;
        for (std::size_t i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned>(in[i]);
            seen |= c;
            special |= (c == ',') | (c == '"') | (c == '\r') | (c == '\n');
            out[i] = static_cast<char>(c);
        }
        if (seen >= 0x80 || special) return PutEncoded(text, special);
        out[n] = ',';
        cur_ = out + n + 1;
    }
    void Field(std::string_view ascii) {
        if (static_cast<std::size_t>(end_ - cur_) <= ascii.size()) MakeRoom(ascii.size() + 1);
        cur_ = std::copy(ascii.begin(), ascii.end(), cur_);
        *cur_++ = ',';
    }
    void EndRow() {
        cur_[-1] = '\r';
        Put("\n");
    }

  private:
    void PutEncoded(std::wstring_view text, bool quoted) {
        encoded_.clear();
        if (quoted) {
            std::wstring doubled;
            doubled.reserve(text.size() + 8);
            doubled += L'"';
            for (const wchar_t c : text) {
                if (c == L'"') doubled += L'"';
                doubled += c;
            }
            doubled += L'"';
            AppendUtf8(doubled, encoded_);
        } else {
            AppendUtf8(text, encoded_);
        }
        encoded_ += ',';
        Put(encoded_);
    }
    std::string encoded_;
};

std::string_view YesNo(bool value) { return value ? "Yes" : "No"; }

}  // namespace

void WriteReport(const ItemCollection& records, const ReportSources& sources, StatusSink& status,
                 const std::wstring& FileName) {
    status.StatusBar_Update(kPanelAction, L"Exporting Report: ");
    status.ProgressBar_Show(true, records.Count());
    try {
        const auto file = sources.files.BeginReplaceFile(FileName);
        CsvOut csv(*file);
        FilesNow now(sources.files);
        RememberedFiles components(sources.components);
        for (int32_t i = 1; i <= records.Count(); ++i) {
            // Held here: the progress call below may let a command drop it from the collection.
            const ObjectRef record = records.Item(i);
            const bool dll = record->NodeType == kNodeDll;
            if (dll || record->NodeType == kNodeOcx) {
                const bool exists = now.Exists(record->Path);
                std::optional<ComponentFacts> facts;
                if (exists)
                    facts = InspectComponent(record->Path, components, sources.system,
                                             sources.registration);
                const RegistrationCounts registered =
                    facts ? facts->Registration : sources.registration.Lookup(record->Path);
                csv.Field(std::wstring_view(record->Path));
                csv.Field(std::string_view(dll ? "DLL" : "OCX"));
                csv.Field(YesNo(record->Included == kFlagOn));
                csv.Field(YesNo(exists));
                if (facts)
                    csv.Field(std::wstring_view(BuiltForText(*facts)));
                else
                    csv.Field(std::string_view());
                if (registered.Registered())
                    csv.Field(std::wstring_view(RegisteredText(registered)));
                else
                    csv.Field(std::string_view("No"));
                if (facts)
                    csv.Field(std::wstring_view(MissingDllsText(*facts)));
                else
                    csv.Field(std::string_view());
                csv.EndRow();
            }
            status.ProgressBar_Increment(1);
        }
        csv.Finish();
    } catch (...) {
        status.ProgressBar_Show(false, 0);
        throw;
    }
    status.ProgressBar_Show(false, 0);
    status.StatusBar_Update(kPanelAction, L"Exported Report: " + FileName);
}

}  // namespace prowl
