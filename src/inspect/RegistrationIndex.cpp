#include "inspect/RegistrationIndex.h"

#include <cwctype>
#include <optional>
#include <string_view>

#include "inspect/ComparablePath.h"
#include "model/TextCase.h"

namespace prowl {

namespace {

struct Place {
    RegistryRoot Root;
    RegistryView View;
    Bitness SeenBy;
};

// HKEY_CLASSES_ROOT is the machine's classes overlaid with the user's; reading both roots
// finds registrations for the user alone too, which Wine's HKEY_CLASSES_ROOT leaves out.
constexpr Place kPlaces[] = {
    {RegistryRoot::LocalMachine, RegistryView::Bits64, Bitness::Bits64},
    {RegistryRoot::LocalMachine, RegistryView::Bits32, Bitness::Bits32},
    {RegistryRoot::CurrentUser, RegistryView::Bits64, Bitness::Bits64},
    {RegistryRoot::CurrentUser, RegistryView::Bits32, Bitness::Bits32},
};

// A text value as stored: UTF-16 little-endian, up to its first NUL.
std::optional<std::wstring> TextOf(const std::optional<RegistryValue>& value) {
    if (!value || (value->type != kRegSz && value->type != kRegExpandSz)) return std::nullopt;
    std::wstring text;
    for (std::size_t i = 0; i + 1 < value->data.size(); i += 2) {
        const auto unit = static_cast<wchar_t>(static_cast<unsigned char>(value->data[i]) |
                                               static_cast<unsigned char>(value->data[i + 1]) << 8);
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

std::wstring FileName(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

bool IsHex(const std::wstring& text) {
    if (text.empty()) return false;
    for (wchar_t c : text)
        if (!iswxdigit(c)) return false;
    return true;
}

// A file name's length and where its ASCII digits and punctuation stand, which upper-casing
// keeps in every locale (it maps one unit to one, and letters to letters); all letters, of
// any script, are one mark. Two names that are equal once upper-cased have the same shape.
std::uint64_t NameShape(std::wstring_view name) {
    std::uint64_t hash = 14695981039346656037ull ^ name.size();  // FNV-1a
    for (const wchar_t c : name) {
        const auto unit = static_cast<unsigned>(c);
        const unsigned folded = unit | 0x20;
        const bool letter = unit >= 0x80 || (folded >= 'a' && folded <= 'z');
        hash = (hash ^ (letter ? 0xFFFFu : unit)) * 1099511628211ull;
    }
    return hash;
}

class Builder {
  public:
    Builder(const SystemFacts& facts, const std::function<void()>& letMessagesThrough)
        : resolver_(facts), letMessagesThrough_(letMessagesThrough) {}

    void ReadClasses(const RegistryKey& classes, Bitness seenBy) {
        for (const std::wstring& id : classes.SubkeyNames()) {
            const auto server = Open(classes, id + L"\\InprocServer32");
            if (!server) continue;
            if (const auto value = TextOf(server->QueryValue(L"")))
                Add(L"C" + UpperCase(id), *value, seenBy, &RegistrationCounts::Classes);
        }
    }

    // TypeLib\{id}\<version>\<lcid>\win32 or win64; the version key also holds FLAGS and
    // HELPDIR, which are no locale.
    void ReadTypeLibraries(const RegistryKey& libraries) {
        for (const std::wstring& id : libraries.SubkeyNames()) {
            const auto library = Open(libraries, id);
            if (!library) continue;
            for (const std::wstring& version : library->SubkeyNames()) {
                const auto versionKey = Open(*library, version);
                if (!versionKey) continue;
                const std::wstring identity = L"T" + UpperCase(id) + L"\\" + UpperCase(version);
                for (const std::wstring& lcid : versionKey->SubkeyNames()) {
                    if (!IsHex(lcid)) continue;
                    ReadTypeLibraryFile(*versionKey, lcid + L"\\win32", identity, Bitness::Bits32);
                    ReadTypeLibraryFile(*versionKey, lcid + L"\\win64", identity, Bitness::Bits64);
                }
            }
        }
    }

    void Finish(std::unordered_map<std::wstring, RegistrationCounts>& files,
                std::unordered_set<std::wstring>& names,
                std::unordered_set<std::uint64_t>& shapes) {
        for (const auto& [file, counts] : files_) {
            const auto name = names.insert(FileName(file)).first;
            shapes.insert(NameShape(*name));
        }
        files = std::move(files_);
    }

  private:
    // Every key opened is a round trip to the registry: the unit of work between breaks.
    std::unique_ptr<RegistryKey> Open(const RegistryKey& parent, const std::wstring& path) {
        if (++opened_ % RegistrationIndex::kKeysPerBreak == 0 && letMessagesThrough_)
            letMessagesThrough_();
        return parent.OpenSubkey(path);
    }

    // The win32 entry is for 32-bit clients wherever it is stored, the win64 one for 64-bit.
    void ReadTypeLibraryFile(const RegistryKey& version, const std::wstring& path,
                             const std::wstring& identity, Bitness seenBy) {
        const auto key = Open(version, path);
        if (!key) return;
        if (const auto value = TextOf(key->QueryValue(L"")))
            Add(identity, *value, seenBy, &RegistrationCounts::TypeLibraries);
    }

    void Add(const std::wstring& identity, const std::wstring& value, Bitness seenBy,
             int32_t RegistrationCounts::*count) {
        std::wstring file = resolver_.RegisteredFile(value, seenBy);
        if (file.empty()) return;
        if (!seen_.insert(identity + L"|" + file).second) return;
        ++(files_[std::move(file)].*count);
    }

    PathResolver resolver_;
    const std::function<void()>& letMessagesThrough_;
    int64_t opened_ = 0;
    std::unordered_set<std::wstring> seen_;
    std::unordered_map<std::wstring, RegistrationCounts> files_;
};

}  // namespace

RegistrationIndex RegistrationIndex::Build(RegistryReader& registry, const SystemFacts& facts,
                                           const std::function<void()>& letMessagesThrough) {
    Builder builder(facts, letMessagesThrough);
    for (const Place& place : kPlaces) {
        if (const auto classes = registry.Open(place.Root, L"Software\\Classes\\CLSID", place.View))
            builder.ReadClasses(*classes, place.SeenBy);
        if (const auto libraries =
                registry.Open(place.Root, L"Software\\Classes\\TypeLib", place.View))
            builder.ReadTypeLibraries(*libraries);
    }
    RegistrationIndex index;
    builder.Finish(index.files_, index.names_, index.shapes_);
    return index;
}

RegistrationCounts RegistrationIndex::Lookup(const std::wstring& path) const {
    if (files_.empty()) return {};
    std::size_t start = path.size();
    while (start > 0 && path[start - 1] != L'\\' && path[start - 1] != L'/') --start;
    const std::wstring_view name = std::wstring_view(path).substr(start);
    if (!name.empty() && name != L"." && name != L".." &&
        (!shapes_.contains(NameShape(name)) || !names_.contains(UpperCase(std::wstring(name)))))
        return {};
    const auto found = files_.find(ComparablePath(path));
    return found == files_.end() ? RegistrationCounts{} : found->second;
}

}  // namespace prowl
