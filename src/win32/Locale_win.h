#pragma once
#include <string>

#include "ui/dialogs/LocaleFormat.h"

namespace prowl::win32 {

class Win32LocaleFormat final : public LocaleFormat {
  public:
    // A locale name such as "de-DE"; empty for the user's own settings.
    explicit Win32LocaleFormat(std::wstring localeName = L"") : name_(std::move(localeName)) {}
    std::wstring GroupedNumber(uint64_t value) override;
    std::wstring DateTime(uint64_t fileTime) override;

  private:
    const wchar_t* Name() const;
    std::wstring Info(unsigned type) const;
    std::wstring name_;
};

}  // namespace prowl::win32
