#include "win32/Locale_win.h"

#include <windows.h>

namespace prowl {

std::size_t AnsiByteCount(std::wstring_view text) {
    if (text.empty()) return 0;
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    return n > 0 ? static_cast<std::size_t>(n) : text.size();
}

}  // namespace prowl

namespace prowl::win32 {

const wchar_t* Win32LocaleFormat::Name() const {
    return name_.empty() ? LOCALE_NAME_USER_DEFAULT : name_.c_str();
}

std::wstring Win32LocaleFormat::Info(unsigned type) const {
    wchar_t buffer[88] = {};
    const int n = GetLocaleInfoEx(Name(), type, buffer, 88);
    return n > 0 ? std::wstring(buffer) : std::wstring();
}

std::wstring Win32LocaleFormat::GroupedNumber(uint64_t value) {
    // The locale's own number format but without decimals. Its grouping reads "3;0" or
    // "3;2;0"; the format wants 3 or 32, and a last size of its own that repeats (no ";0")
    // as a trailing 0.
    const std::wstring grouping = Info(LOCALE_SGROUPING);
    UINT sizes = 0;
    wchar_t last = L'0';
    for (wchar_t c : grouping)
        if (c >= L'0' && c <= L'9') {
            sizes = sizes * 10 + (c - L'0');
            last = c;
        }
    if (last == L'0')
        sizes /= 10;
    else
        sizes *= 10;
    std::wstring decimal = Info(LOCALE_SDECIMAL);
    std::wstring thousand = Info(LOCALE_STHOUSAND);
    NUMBERFMTW format{};
    format.NumDigits = 0;
    format.LeadingZero = 1;
    format.Grouping = sizes;
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousand.data();
    format.NegativeOrder = 1;

    const std::wstring digits = std::to_wstring(value);
    wchar_t buffer[64] = {};
    if (GetNumberFormatEx(Name(), 0, digits.c_str(), &format, buffer, 64) <= 0) return digits;
    return buffer;
}

std::wstring Win32LocaleFormat::DateTime(uint64_t fileTime) {
    FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME universal, local;
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return L"";
    wchar_t date[128] = {}, time[128] = {};
    if (GetDateFormatEx(Name(), DATE_SHORTDATE, &local, nullptr, date, 128, nullptr) <= 0 ||
        GetTimeFormatEx(Name(), 0, &local, nullptr, time, 128) <= 0)
        return L"";
    return std::wstring(date) + L" " + time;
}

}  // namespace prowl::win32
