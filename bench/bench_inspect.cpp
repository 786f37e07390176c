// The registration index: one read-only pass over the registered classes and type libraries
// of both registry views, machine and user, then the look-up of 100,000 project paths;
// beside a bare enumeration of the same keys with plain registry calls, which reads the same
// values and keeps nothing.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Measure.h"
#include "inspect/RegistrationIndex.h"
#include "win32/Registry_win.h"
#include "win32/SystemFacts_win.h"

namespace {

using namespace prowl;

constexpr int kRuns = 5;
constexpr int kPaths = 100000;
constexpr int kClassesWanted = 3000;  // below this a pass is too short to time fairly

struct Place {
    HKEY Root;
    REGSAM View;
};
const Place kPlaces[] = {{HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
                         {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY},
                         {HKEY_CURRENT_USER, KEY_WOW64_64KEY},
                         {HKEY_CURRENT_USER, KEY_WOW64_32KEY}};

std::vector<std::wstring> Subkeys(HKEY key) {
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return names;
        names.emplace_back(name, length);
    }
}

// Opens the subkey and reads its default value; the number of bytes read.
std::size_t ReadDefault(HKEY parent, const std::wstring& path, REGSAM view) {
    HKEY key;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return 0;
    BYTE data[1024];
    DWORD size = sizeof data;
    const bool read = RegQueryValueExW(key, nullptr, nullptr, nullptr, data, &size) == 0;
    RegCloseKey(key);
    return read ? size : 0;
}

std::size_t BareEnumeration() {
    std::size_t bytes = 0;
    for (const Place& place : kPlaces) {
        HKEY classes, libraries;
        if (RegOpenKeyExW(place.Root, L"Software\\Classes\\CLSID", 0, KEY_READ | place.View,
                          &classes) == ERROR_SUCCESS) {
            for (const auto& id : Subkeys(classes))
                bytes += ReadDefault(classes, id + L"\\InprocServer32", place.View);
            RegCloseKey(classes);
        }
        if (RegOpenKeyExW(place.Root, L"Software\\Classes\\TypeLib", 0, KEY_READ | place.View,
                          &libraries) != ERROR_SUCCESS)
            continue;
        for (const auto& id : Subkeys(libraries)) {
            HKEY library, version;
            if (RegOpenKeyExW(libraries, id.c_str(), 0, KEY_READ | place.View, &library)) continue;
            for (const auto& v : Subkeys(library)) {
                if (RegOpenKeyExW(library, v.c_str(), 0, KEY_READ | place.View, &version)) continue;
                for (const auto& lcid : Subkeys(version)) {
                    bytes += ReadDefault(version, lcid + L"\\win32", place.View);
                    bytes += ReadDefault(version, lcid + L"\\win64", place.View);
                }
                RegCloseKey(version);
            }
            RegCloseKey(library);
        }
        RegCloseKey(libraries);
    }
    return bytes;
}

DWORD CountClasses() {
    DWORD total = 0;
    for (const Place& place : kPlaces) {
        HKEY classes;
        if (RegOpenKeyExW(place.Root, L"Software\\Classes\\CLSID", 0, KEY_READ | place.View,
                          &classes) != ERROR_SUCCESS)
            continue;
        DWORD count = 0;
        RegQueryInfoKeyW(classes, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr);
        total += count;
        RegCloseKey(classes);
    }
    return total;
}

std::wstring BenchClass(int n) {
    wchar_t id[64];
    swprintf(id, 64, L"Software\\Classes\\CLSID\\{5052574F-0000-0000-0000-%012X}", n);
    return id;
}

std::wstring ProjectPath(int n) {
    return L"C:\\Program Files\\Vendor" + std::to_wstring(n % 50) + L"\\Product" +
           std::to_wstring(n % 7) + L"\\component_" + std::to_wstring(n) +
           (n % 2 ? L".ocx" : L".dll");
}

}  // namespace

int wmain() {
    // Wine's prefix holds a few hundred classes; make up the rest in the user's classes,
    // naming files of the project, and remove them at the end.
    const DWORD found = CountClasses();
    const int added = found < kClassesWanted ? static_cast<int>(kClassesWanted - found) : 0;
    for (int n = 0; n < added; ++n) {
        const std::wstring file = ProjectPath(n * (kPaths / kClassesWanted));
        RegSetKeyValueW(HKEY_CURRENT_USER, (BenchClass(n) + L"\\InprocServer32").c_str(), nullptr,
                        REG_SZ, file.c_str(), static_cast<DWORD>((file.size() + 1) * 2));
    }
    std::vector<std::wstring> paths;
    for (int n = 0; n < kPaths; ++n) paths.push_back(ProjectPath(n));

    win32::Win32RegistryReader registry;
    const win32::Win32SystemFacts facts;
    std::size_t registered = 0, bytes = 0;
    double lookUpSeconds = 0;
    const auto medians = bench::InterleavedMedians(
        {[&] {
             const RegistrationIndex index = RegistrationIndex::Build(registry, facts);
             const double start = bench::Seconds();
             registered = 0;
             for (const auto& path : paths) registered += index.Lookup(path).Registered();
             lookUpSeconds = bench::Seconds() - start;
         },
         [&] { bytes = BareEnumeration(); }},
        kRuns);
    for (int n = 0; n < added; ++n) RegDeleteTreeW(HKEY_CURRENT_USER, BenchClass(n).c_str());

    std::printf("classes: %lu in the registry, %d of them added for this run\n", found + added,
                added);
    std::printf("paths looked up: %d, found registered: %zu; bare walk read %zu bytes\n", kPaths,
                registered, bytes);
    std::printf("median of %d runs after one warm-up\n", kRuns);
    std::printf("index and look-ups: %8.1f ms (the last look-ups alone: %.1f ms)\n",
                medians[0] * 1000, lookUpSeconds * 1000);
    std::printf("bare enumeration:   %8.1f ms\n", medians[1] * 1000);
    std::printf("inspect/registry-vs-bare: %.2f\n", medians[0] / medians[1]);
    return 0;
}
