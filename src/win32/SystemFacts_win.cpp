#include "win32/SystemFacts_win.h"

#include <windows.h>

#include "model/SystemPath.h"
#include "win32/Handles.h"

namespace prowl::win32 {

namespace {

// Calls a function of the "fill this buffer, or tell me the size it needs" kind until the
// text fits; empty on failure.
template <typename Fill>
std::wstring Fetch(Fill fill) {
    std::wstring text(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n = fill(text.data(), static_cast<DWORD>(text.size()));
        if (n == 0) return {};
        if (n < text.size()) {
            text.resize(n);
            return text;
        }
        text.assign(n + 1, L'\0');
    }
    return {};
}

}  // namespace

Win32SystemFacts::Win32SystemFacts()
    : system64_(Fetch([](wchar_t* b, DWORD n) { return GetSystemDirectoryW(b, n); })),
      system32_(Fetch([](wchar_t* b, DWORD n) { return GetSystemWow64DirectoryW(b, n); })),
      windows_(Fetch([](wchar_t* b, DWORD n) { return GetSystemWindowsDirectoryW(b, n); })) {
    // 32-bit Windows has no second system folder: its 32-bit code uses the only one.
    if (system32_.empty()) system32_ = system64_;
}

std::wstring Win32SystemFacts::SystemFolder(Bitness bitness) const {
    return bitness == Bitness::Bits32 ? system32_ : system64_;
}

std::optional<std::wstring> Win32SystemFacts::Environment(const std::wstring& name) const {
    SetLastError(ERROR_SUCCESS);
    std::wstring value =
        Fetch([&](wchar_t* b, DWORD n) { return GetEnvironmentVariableW(name.c_str(), b, n); });
    if (value.empty() && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return value;
}

bool Win32SystemFacts::IsElevated() const {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    const KernelHandle owned(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

std::wstring Win32SystemFacts::LongPath(const std::wstring& path) const {
    const std::wstring system = ToSystemPath(path);
    const std::wstring longer =
        Fetch([&](wchar_t* b, DWORD n) { return GetLongPathNameW(system.c_str(), b, n); });
    return longer.empty() ? path : longer;
}

}  // namespace prowl::win32
