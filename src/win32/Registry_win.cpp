#include "win32/Registry_win.h"

#include <windows.h>

namespace prowl::win32 {
namespace {

REGSAM ViewFlag(RegistryView view) {
    switch (view) {
        case RegistryView::Bits64:
            return KEY_WOW64_64KEY;
        case RegistryView::Bits32:
            return KEY_WOW64_32KEY;
        default:
            return 0;
    }
}

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        default:
            return HKEY_LOCAL_MACHINE;
    }
}

class Win32RegistryKey final : public RegistryKey {
  public:
    Win32RegistryKey(HKEY key, REGSAM view) : key_(key), view_(view) {}
    ~Win32RegistryKey() override { RegCloseKey(key_); }
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

    std::vector<std::wstring> SubkeyNames() const override {
        std::vector<std::wstring> names;
        DWORD count = 0, longest = 0;
        if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        names.reserve(count);
        std::wstring buffer(longest + 2, L'\0');
        for (DWORD i = 0;; ++i) {
            DWORD length = static_cast<DWORD>(buffer.size());
            const LSTATUS status =
                RegEnumKeyExW(key_, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_MORE_DATA) {
                // A key added since the count was taken; make room and ask again.
                buffer.assign(buffer.size() * 2 + 256, L'\0');
                --i;
                continue;
            }
            if (status != ERROR_SUCCESS) break;
            names.emplace_back(buffer.data(), length);
        }
        return names;
    }

    std::unique_ptr<RegistryKey> OpenSubkey(const std::wstring& path) const override {
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key_, path.c_str(), 0, KEY_READ | view_, &sub) != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<Win32RegistryKey>(sub, view_);
    }

    std::optional<RegistryValue> QueryValue(const std::wstring& name) const override {
        // Most values are short paths and names: one call with room for them, and a second
        // only for the long ones.
        BYTE small[512];
        DWORD type = 0;
        DWORD size = sizeof small;
        LSTATUS status = RegQueryValueExW(key_, name.c_str(), nullptr, &type, small, &size);
        if (status == ERROR_SUCCESS)
            return RegistryValue{type, std::string(reinterpret_cast<const char*>(small), size)};
        RegistryValue value;
        for (int attempt = 0; attempt < 4 && status == ERROR_MORE_DATA; ++attempt) {
            value.data.assign(size, '\0');
            DWORD got = size;
            status = RegQueryValueExW(key_, name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(value.data.data()), &got);
            if (status == ERROR_SUCCESS) {
                value.data.resize(got);
                value.type = type;
                return value;
            }
            size = got;  // it grew meanwhile
        }
        return std::nullopt;
    }

  private:
    HKEY key_;
    REGSAM view_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32RegistryReader::Open(RegistryRoot root, const std::wstring& path,
                                                       RegistryView view) {
    HKEY key = nullptr;
    const REGSAM flag = ViewFlag(view);
    if (RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_READ | flag, &key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(key, flag);
}

}  // namespace prowl::win32
