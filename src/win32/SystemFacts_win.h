#pragma once
#include "inspect/SystemFacts.h"

namespace prowl::win32 {

// The folders are read once; the environment and the token each time they are asked for.
class Win32SystemFacts final : public SystemFacts {
  public:
    Win32SystemFacts();
    std::wstring SystemFolder(Bitness bitness) const override;
    std::wstring WindowsFolder() const override { return windows_; }
    std::optional<std::wstring> Environment(const std::wstring& name) const override;
    bool IsElevated() const override;
    std::wstring LongPath(const std::wstring& path) const override;

  private:
    std::wstring system64_;
    std::wstring system32_;
    std::wstring windows_;
};

}  // namespace prowl::win32
