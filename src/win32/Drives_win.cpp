#include "win32/Drives_win.h"

#include <windows.h>

namespace prowl::win32 {
namespace {

// The text a size-asking call gives, asked again while it grows meanwhile.
template <typename Call>
std::wstring Sized(Call call) {
    std::wstring text(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n = call(static_cast<DWORD>(text.size()), text.data());
        if (n == 0) return L"";
        if (n < text.size()) {
            text.resize(n);
            return text;
        }
        text.assign(n + 1, L'\0');
    }
    return L"";
}

}  // namespace

std::vector<std::wstring> Win32MachineDrives::DriveRoots() {
    // "C:\<NUL>D:\<NUL><NUL>"
    const std::wstring all =
        Sized([](DWORD size, wchar_t* buffer) { return GetLogicalDriveStringsW(size, buffer); });
    std::vector<std::wstring> roots;
    for (std::size_t pos = 0; pos < all.size();) {
        const std::size_t end = all.find(L'\0', pos);
        const std::size_t stop = end == std::wstring::npos ? all.size() : end;
        if (stop > pos) roots.push_back(all.substr(pos, stop - pos));
        pos = stop + 1;
    }
    return roots;
}

std::wstring Win32MachineDrives::CurrentFolder() {
    return Sized([](DWORD size, wchar_t* buffer) { return GetCurrentDirectoryW(size, buffer); });
}

std::wstring Win32MachineDrives::CurrentFolderOf(const std::wstring& root) {
    if (root.size() < 2 || root[1] != L':') return root;
    // "Q:" alone names the folder the process last used on that drive; only text is read.
    const std::wstring drive = root.substr(0, 2);
    const std::wstring folder = Sized([&](DWORD size, wchar_t* buffer) {
        return GetFullPathNameW(drive.c_str(), size, buffer, nullptr);
    });
    return folder.empty() ? root : folder;
}

}  // namespace prowl::win32
