#include "win32/ProgramServices_win.h"

#include <string>

namespace prowl::win32 {

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return L"";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);  // a long path: the name was cut short
    }
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? L"" : path.substr(0, slash);
}

Win32ProgramServices::Win32ProgramServices(HWND owner, FileSystem& files)
    : dialogs_(owner), services_{files,   launcher_,   registry_, dialogs_,       drives_,
                                 locale_, components_, system_,   ProgramFolder()} {}

}  // namespace prowl::win32
