#pragma once
// Numbers, dates and text lengths as the user's locale and the system's code page make them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace prowl {

class LocaleFormat {
  public:
    virtual ~LocaleFormat() = default;
    // A whole number with the locale's digit grouping and no decimals: 1,234,567.
    virtual std::wstring GroupedNumber(uint64_t value) = 0;
    // A file time (UTC, 100-nanosecond ticks since 1601) in local time, as the locale's short
    // date followed by its long time. "" for a time the system cannot show.
    virtual std::wstring DateTime(uint64_t fileTime) = 0;
};

// The bytes the text takes in the system's ANSI code page, characters it cannot hold
// counted as the one byte they become there. Defined by the platform layer.
std::size_t AnsiByteCount(std::wstring_view text);

}  // namespace prowl
