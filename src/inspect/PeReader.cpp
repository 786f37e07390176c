#include "inspect/PeReader.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_set>

namespace prowl {
namespace {

constexpr uint16_t kPe32 = 0x10B;
constexpr uint16_t kPe32Plus = 0x20B;
constexpr uint16_t kFileDll = 0x2000;
constexpr std::size_t kExportDirectory = 0;
constexpr std::size_t kImportDirectory = 1;
constexpr std::size_t kResourceDirectory = 2;
constexpr std::size_t kDelayImportDirectory = 13;
constexpr std::size_t kDirectorySlots = 16;
constexpr std::size_t kSectionHeader = 40;
constexpr std::size_t kImportDescriptor = 20;
constexpr std::size_t kDelayDescriptor = 32;
constexpr std::size_t kMaxDllName = 260;  // the loader takes no longer file name
constexpr uint32_t kManifestType = 24;
constexpr std::size_t kMaxManifests = 4;          // a DLL's own is number 2, an exe's 1
constexpr uint32_t kMaxManifestSize = 64 * 1024;  // real ones are a few hundred bytes
constexpr uint32_t kResourceSubdirectory = 0x80000000;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16; }
uint64_t U64(const uint8_t* p) { return U32(p) | static_cast<uint64_t>(U32(p + 4)) << 32; }

struct Section {
    uint32_t VirtualAddress = 0;
    uint32_t VirtualSize = 0;
    uint32_t RawPointer = 0;
    uint32_t RawSize = 0;
};

struct Directory {
    uint32_t Rva = 0;
    uint32_t Size = 0;
};

// Where an address of the loaded image lies in the file, and how many bytes follow it there
// before its section (or the file) ends.
struct Span {
    uint64_t Offset = 0;
    uint64_t Available = 0;
};

class PeParser {
  public:
    explicit PeParser(ByteSource& source) : source_(source), size_(source.Size()) {}

    std::optional<PeFacts> Parse() {
        if (!ReadHeaders()) return std::nullopt;
        if (!ReadImports(directories_[kImportDirectory], false) ||
            !ReadImports(directories_[kDelayImportDirectory], true) || !ReadExports())
            return std::nullopt;
        ReadManifests();
        return std::move(facts_);
    }

  private:
    // The one way to the bytes: nothing outside the file is ever asked for.
    bool Read(uint64_t offset, void* out, std::size_t length) {
        if (offset > size_ || length > size_ - offset) return false;
        return source_.Read(offset, out, length);
    }

    bool ReadHeaders() {
        uint8_t dos[64];
        if (!Read(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
        const uint64_t pe = U32(dos + 0x3C);
        uint8_t coff[24];
        if (!Read(pe, coff, sizeof coff) || std::memcmp(coff, "PE\0\0", 4) != 0) return false;
        facts_.Machine = U16(coff + 4);
        const uint16_t sectionCount = U16(coff + 6);
        const uint16_t optionalSize = U16(coff + 20);
        facts_.IsDll = (U16(coff + 22) & kFileDll) != 0;

        // Only the fixed part and the directories matter; anything beyond is the linker's.
        uint8_t optional[112 + 8 * kDirectorySlots] = {};
        const uint64_t optionalAt = pe + sizeof coff;
        const std::size_t toRead = std::min<std::size_t>(optionalSize, sizeof optional);
        if (toRead < 2 || !Read(optionalAt, optional, toRead)) return false;
        std::size_t directoriesAt = 0, countAt = 0;
        switch (U16(optional)) {
            case kPe32:
                directoriesAt = 96, countAt = 92, imageBase_ = U32(optional + 28);
                break;
            case kPe32Plus:
                directoriesAt = 112, countAt = 108, imageBase_ = U64(optional + 24);
                break;
            default:
                return false;
        }
        if (optionalSize < directoriesAt) return false;
        headersSize_ = U32(optional + 60);
        const std::size_t directoryCount = std::min<std::size_t>(
            {U32(optional + countAt), kDirectorySlots, (optionalSize - directoriesAt) / 8});
        for (std::size_t i = 0; i < directoryCount; ++i) {
            const uint8_t* entry = optional + directoriesAt + 8 * i;
            directories_[i] = {U32(entry), U32(entry + 4)};
        }

        std::vector<uint8_t> table(sectionCount * kSectionHeader);
        if (!table.empty() && !Read(optionalAt + optionalSize, table.data(), table.size()))
            return false;
        sections_.reserve(sectionCount);
        for (std::size_t i = 0; i < sectionCount; ++i) {
            const uint8_t* s = table.data() + i * kSectionHeader;
            sections_.push_back({U32(s + 12), U32(s + 8), U32(s + 20), U32(s + 16)});
        }
        return true;
    }

    // Bytes the loader fills with zeros (beyond a section's raw data) are not in the file, and
    // no table inspection reads can lie there.
    std::optional<Span> Locate(uint64_t rva) const {
        for (const Section& s : sections_) {
            const uint64_t extent = s.VirtualSize != 0 ? s.VirtualSize : s.RawSize;
            if (rva < s.VirtualAddress || rva - s.VirtualAddress >= extent) continue;
            const uint64_t delta = rva - s.VirtualAddress;
            const uint64_t offset = s.RawPointer + delta;
            if (delta >= s.RawSize || offset >= size_) return std::nullopt;
            return Span{offset, std::min<uint64_t>(s.RawSize - delta, size_ - offset)};
        }
        const uint64_t headersEnd = std::min<uint64_t>(headersSize_, size_);
        if (rva < headersEnd) return Span{rva, headersEnd - rva};
        return std::nullopt;
    }

    // A span of `length` bytes at the address, all in the file and in one section.
    std::optional<Span> Locate(uint64_t rva, uint64_t length) const {
        const auto span = Locate(rva);
        if (!span || span->Available < length) return std::nullopt;
        return span;
    }

    bool ReadAt(uint64_t rva, void* out, std::size_t length) {
        const auto span = Locate(rva, length);
        return span && Read(span->Offset, out, length);
    }

    // A name must end with its NUL within the section; one that does not is a hostile file.
    std::optional<std::string> ReadName(uint32_t rva) {
        const auto span = Locate(rva);
        if (!span) return std::nullopt;
        std::string name(std::min<uint64_t>(span->Available, kMaxDllName + 1), '\0');
        if (!Read(span->Offset, name.data(), name.size())) return std::nullopt;
        const std::size_t end = name.find('\0');
        if (end == std::string::npos) return std::nullopt;
        name.resize(end);
        return name;
    }

    bool ReadImports(const Directory& directory, bool delayed) {
        if (directory.Rva == 0) return true;
        const auto span = Locate(directory.Rva);
        if (!span) return false;
        const std::size_t step = delayed ? kDelayDescriptor : kImportDescriptor;
        // As the loader does: up to the first empty entry, within the directory's stated size.
        for (uint64_t at = 0; at + step <= directory.Size; at += step) {
            uint8_t d[kDelayDescriptor];
            if (at + step > span->Available || !Read(span->Offset + at, d, step)) return false;
            uint64_t nameRva = 0;
            if (delayed) {
                nameRva = U32(d + 4);
                if (nameRva == 0) return true;
                // The oldest linkers stored addresses rather than offsets into the image.
                if ((U32(d) & 1) == 0) {
                    if (nameRva < imageBase_) return false;
                    nameRva -= imageBase_;
                }
            } else {
                nameRva = U32(d + 12);
                if (nameRva == 0 || U32(d + 16) == 0) return true;
            }
            const auto name = ReadName(static_cast<uint32_t>(nameRva));
            if (!name || name->empty()) return false;
            AddImport(*name, delayed);
        }
        return true;
    }

    void AddImport(const std::string& name, bool delayed) {
        std::string folded = name;
        for (char& c : folded)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!seen_.insert(std::move(folded)).second) return;
        // Names are bytes in the file; they are taken as Latin-1, which keeps ASCII exact.
        std::wstring wide;
        for (unsigned char c : name) wide.push_back(static_cast<wchar_t>(c));
        facts_.Imports.push_back({std::move(wide), delayed});
    }

    bool ReadExports() {
        const Directory& directory = directories_[kExportDirectory];
        if (directory.Rva == 0) return true;
        uint8_t table[40];
        if (!ReadAt(directory.Rva, table, sizeof table)) return false;
        exports_.FunctionCount = U32(table + 20);
        exports_.Functions = U32(table + 28);
        const uint32_t nameCount = U32(table + 24);
        const auto names = Locate(U32(table + 32), uint64_t{nameCount} * 4);
        const auto ordinals = Locate(U32(table + 36), uint64_t{nameCount} * 2);
        if (nameCount != 0 && (!names || !ordinals)) return false;
        exports_.NameCount = nameCount;
        if (nameCount != 0) exports_.Names = *names, exports_.Ordinals = *ordinals;
        const auto registers = Exports("DllRegisterServer");
        const auto unregisters = Exports("DllUnregisterServer");
        if (!registers || !unregisters) return false;
        facts_.ExportsRegister = *registers;
        facts_.ExportsUnregister = *unregisters;
        return true;
    }

    // Binary search, as the loader looks a name up: the table is sorted by byte value, and
    // an unsorted one hides from the loader what it would hide from us.
    std::optional<bool> Exports(std::string_view wanted) {
        uint32_t low = 0, high = exports_.NameCount;
        while (low < high) {
            const uint32_t mid = low + (high - low) / 2;
            uint8_t rva[4];
            if (!Read(exports_.Names.Offset + uint64_t{mid} * 4, rva, 4)) return std::nullopt;
            const auto order = CompareName(U32(rva), wanted);
            if (!order) return std::nullopt;
            if (*order < 0) {
                low = mid + 1;
            } else if (*order > 0) {
                high = mid;
            } else {
                uint8_t ordinal[2], function[4];
                if (!Read(exports_.Ordinals.Offset + uint64_t{mid} * 2, ordinal, 2))
                    return std::nullopt;
                if (U16(ordinal) >= exports_.FunctionCount) return false;
                if (!ReadAt(exports_.Functions + uint64_t{U16(ordinal)} * 4, function, 4))
                    return std::nullopt;
                return U32(function) != 0;
            }
        }
        return false;
    }

    // Compares the name at the address with the wanted one (and its NUL) byte by byte; empty
    // when the name runs out of its section before it differs or ends.
    std::optional<int> CompareName(uint32_t rva, std::string_view wanted) {
        const auto span = Locate(rva);
        if (!span) return std::nullopt;
        uint8_t name[32];
        const std::size_t reach = std::min<uint64_t>(span->Available, wanted.size() + 1);
        if (reach > sizeof name || !Read(span->Offset, name, reach)) return std::nullopt;
        for (std::size_t i = 0; i < reach; ++i) {
            const uint8_t expected = i < wanted.size() ? static_cast<uint8_t>(wanted[i]) : 0;
            if (name[i] != expected) return name[i] < expected ? -1 : 1;
            if (name[i] == 0) return 0;
        }
        return std::nullopt;
    }

    // A resource table: its entries, named ones first, as (name or id, target) pairs, where a
    // target with the high bit set is a further table. Offsets count from the directory's
    // start.
    std::vector<std::pair<uint32_t, uint32_t>> ResourceTable(uint32_t offset) {
        const uint64_t rva = uint64_t{directories_[kResourceDirectory].Rva} + offset;
        uint8_t header[16];
        if (!ReadAt(rva, header, sizeof header)) return {};
        const std::size_t count = std::size_t{U16(header + 12)} + U16(header + 14);
        std::vector<uint8_t> bytes(count * 8);
        if (bytes.empty() || !ReadAt(rva + sizeof header, bytes.data(), bytes.size())) return {};
        std::vector<std::pair<uint32_t, uint32_t>> entries;
        for (std::size_t i = 0; i < count; ++i)
            entries.emplace_back(U32(&bytes[i * 8]), U32(&bytes[i * 8 + 4]));
        return entries;
    }

    // Type 24, then each name's first language, then its data. The three levels are walked
    // by position, never by following a table to itself, so no layout can make this loop.
    void ReadManifests() {
        if (directories_[kResourceDirectory].Rva == 0) return;
        for (const auto& [type, names] : ResourceTable(0)) {
            if (type != kManifestType || !(names & kResourceSubdirectory)) continue;
            std::size_t read = 0;
            for (const auto& [name, languages] : ResourceTable(names & ~kResourceSubdirectory)) {
                if (!(languages & kResourceSubdirectory)) continue;
                if (read++ == kMaxManifests) break;
                const auto first = ResourceTable(languages & ~kResourceSubdirectory);
                if (first.empty() || (first[0].second & kResourceSubdirectory)) continue;
                uint8_t entry[8];
                if (!ReadAt(uint64_t{directories_[kResourceDirectory].Rva} + first[0].second, entry,
                            sizeof entry))
                    continue;
                const uint32_t size = U32(entry + 4);
                std::string text(size <= kMaxManifestSize ? size : 0, '\0');
                if (text.empty() || !ReadAt(U32(entry), text.data(), text.size())) continue;
                for (AssemblyIdentity& a : DependentAssemblies(text))
                    if (facts_.Assemblies.size() < kMaxDependentAssemblies)
                        facts_.Assemblies.push_back(std::move(a));
            }
            return;
        }
    }

    struct ExportTable {
        uint32_t FunctionCount = 0;
        uint32_t Functions = 0;
        uint32_t NameCount = 0;
        Span Names, Ordinals;
    };

    ByteSource& source_;
    const uint64_t size_;
    PeFacts facts_;
    uint64_t imageBase_ = 0;
    uint32_t headersSize_ = 0;
    Directory directories_[kDirectorySlots];
    std::vector<Section> sections_;
    ExportTable exports_;
    std::unordered_set<std::string> seen_;
};

}  // namespace

std::optional<PeFacts> ReadPe(ByteSource& source) { return PeParser(source).Parse(); }

}  // namespace prowl
