#pragma once
// The program's own settings key in the user's registry, and the monitors as they are now.
#include <windows.h>

#include <string>

#include "ui/WindowPlacement.h"

namespace prowl::win32 {

inline constexpr wchar_t kSettingsKey[] = L"Software\\ActiveX Prowl";

class Win32SettingsStore final : public SettingsStore {
  public:
    // Under HKEY_CURRENT_USER; tests give a key of their own.
    explicit Win32SettingsStore(std::wstring keyPath = kSettingsKey) : path_(std::move(keyPath)) {}
    std::optional<RegistryValue> Read(const std::wstring& name) override;
    void WriteNumber(const std::wstring& name, uint32_t value) override;

  private:
    std::wstring path_;
};

class Win32Screens final : public Screens {
  public:
    bool AnyShows(const WindowPlace& frame) const override;
    WindowPlace MainWorkArea() const override;
};

}  // namespace prowl::win32
