#include "inspect/ComponentFacts.h"

#include <algorithm>
#include <cwctype>
#include <string_view>
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

// A store holds one folder per version an update installed; more are not looked at.
constexpr std::size_t kMaxStoreVersions = 64;

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

// "8.0" of "8.0.50727.762"; empty for a version without a minor number.
std::wstring_view MajorMinor(std::wstring_view version) {
    const std::size_t dot = version.find(L'.');
    if (dot == std::wstring_view::npos) return {};
    return version.substr(0, std::min(version.find(L'.', dot + 1), version.size()));
}

// The store's folders of the assemblies the file's manifest depends on, named
// <arch>_<name>_<token>_<version>_<language>_<hash>. A version with the same major and minor
// number as the one asked for serves too: publisher policies redirect between those.
std::vector<std::wstring> StoreFolders(const PeFacts& program, ComponentFiles& files,
                                       const SystemFacts& facts) {
    const std::wstring store = facts.WindowsFolder() + L"\\WinSxS";
    std::vector<std::wstring> folders;
    for (const AssemblyIdentity& assembly : program.Assemblies) {
        std::wstring architecture = Lower(assembly.Architecture);
        if (architecture.empty() || architecture == L"*") {
            switch (program.Machine) {
                case kMachineX86:
                    architecture = L"x86";
                    break;
                case kMachineX64:
                    architecture = L"amd64";
                    break;
                case kMachineArm64:
                    architecture = L"arm64";
                    break;
                default:
                    continue;
            }
        }
        const std::wstring prefix = architecture + L"_" + Lower(assembly.Name) + L"_" +
                                    Lower(assembly.PublicKeyToken) + L"_";
        const std::wstring_view wanted = MajorMinor(assembly.Version);
        for (const std::wstring& name :
             files.FoldersStartingWith(store, prefix, kMaxStoreVersions)) {
            const std::wstring_view rest = std::wstring_view(name).substr(prefix.size());
            const std::wstring_view version = rest.substr(0, rest.find(L'_'));
            if (version == assembly.Version || (!wanted.empty() && MajorMinor(version) == wanted))
                folders.push_back(store + L"\\" + name);
        }
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
    if (missing.empty() || program.Assemblies.empty()) return missing;
    const std::vector<std::wstring> store = StoreFolders(program, files, facts);
    std::erase_if(missing, [&](const ImportedDll& dll) {
        for (const std::wstring& folder : store)
            if (files.FileExists(folder + L"\\" + dll.Name)) return true;
        return false;
    });
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
