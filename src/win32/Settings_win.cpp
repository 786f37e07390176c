#include "win32/Settings_win.h"

namespace prowl::win32 {
namespace {

class Key {
  public:
    Key(const std::wstring& path, bool create) {
        const LSTATUS status =
            create ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &key_, nullptr)
                   : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key_);
        if (status != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

}  // namespace

std::optional<RegistryValue> Win32SettingsStore::Read(const std::wstring& name) {
    const Key key(path_, false);
    if (!key.get()) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryValue value{type, std::string(size, '\0')};
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(value.data.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(size);
    return value;
}

void Win32SettingsStore::WriteNumber(const std::wstring& name, uint32_t value) {
    const Key key(path_, true);
    if (key.get())
        RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
}

bool Win32Screens::AnyShows(const WindowPlace& frame) const {
    const RECT rect{frame.left, frame.top, frame.left + frame.width, frame.top + frame.height};
    return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
}

WindowPlace Win32Screens::MainWorkArea() const {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT& r = info.rcWork;
    return {r.left, r.top, r.right - r.left, r.bottom - r.top, false};
}

}  // namespace prowl::win32
