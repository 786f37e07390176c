#include "inspect/ComponentFacts.h"

#include <algorithm>
#include <cwctype>
#include <unordered_set>

#include "inspect/ComparablePath.h"

namespace prowl {

namespace {

bool IsApiSet(const std::wstring& name) {
    const auto startsWith = [&](std::wstring_view prefix) {
        if (name.size() < prefix.size()) return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if (towlower(name[i]) != prefix[i]) return false;
        return true;
    };
    return startsWith(L"api-ms-win-") || startsWith(L"ext-ms-");
}

std::wstring_view Unquoted(std::wstring_view entry) {
    while (!entry.empty() && (entry.front() == L' ' || entry.front() == L'"'))
        entry.remove_prefix(1);
    while (!entry.empty() && (entry.back() == L' ' || entry.back() == L'"')) entry.remove_suffix(1);
    return entry;
}

// The folders in the loader's order, each once, as the file's bitness sees them.
std::vector<std::wstring> SearchFolders(const std::wstring& path, Bitness bitness,
                                        const SystemFacts& facts) {
    const PathResolver resolver(facts);
    std::vector<std::wstring> folders;
    std::unordered_set<std::wstring> seen;
    const auto add = [&](std::wstring_view folder) {
        std::wstring key = resolver.AsSeenBy(bitness, ComparablePath(folder));
        if (!key.empty() && seen.insert(key).second) folders.push_back(std::move(key));
    };
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) add(std::wstring_view(path).substr(0, slash));
    add(facts.SystemFolder(bitness));
    add(facts.WindowsFolder());
    const std::wstring searchPath = facts.Environment(L"PATH").value_or(L"");
    std::wstring_view rest = searchPath;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(L';'), rest.size());
        add(Unquoted(rest.substr(0, end)));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return folders;
}

}  // namespace

std::optional<Bitness> BitnessOf(uint16_t machine) {
    switch (machine) {
        case kMachineX86:
            return Bitness::Bits32;
        case kMachineX64:
        case kMachineArm64:
            return Bitness::Bits64;
        default:
            return std::nullopt;
    }
}

std::vector<ImportedDll> FindMissingDlls(const std::wstring& path, const PeFacts& program,
                                         ComponentFiles& files, const SystemFacts& facts) {
    std::vector<ImportedDll> missing;
    std::vector<std::wstring> folders;
    for (const ImportedDll& dll : program.Imports) {
        if (IsApiSet(dll.Name)) continue;
        if (folders.empty())
            folders =
                SearchFolders(path, BitnessOf(program.Machine).value_or(Bitness::Bits64), facts);
        bool found = false;
        for (const std::wstring& folder : folders)
            if ((found = files.FileExists(folder + L"\\" + dll.Name))) break;
        if (!found) missing.push_back(dll);
    }
    return missing;
}

std::optional<ComponentFacts> InspectComponent(const std::wstring& path, ComponentFiles& files,
                                               const SystemFacts& facts,
                                               const RegistrationIndex& registration) {
    const auto source = files.Open(path);
    if (!source) return std::nullopt;
    ComponentFacts component;
    component.Program = ReadPe(*source);
    if (component.Program)
        component.MissingDlls = FindMissingDlls(path, *component.Program, files, facts);
    component.Registration = registration.Lookup(path);
    return component;
}

}  // namespace prowl
