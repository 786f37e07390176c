#include "win32/TextCase_win.h"

#include <windows.h>

#include "model/TextCase.h"

namespace prowl {

namespace {

std::wstring MapUpper(const wchar_t* locale, const std::wstring& text) {
    constexpr DWORD kFlags = LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING;
    const int length = static_cast<int>(text.size());
    const int n =
        LCMapStringEx(locale, kFlags, text.c_str(), length, nullptr, 0, nullptr, nullptr, 0);
    if (n <= 0) return text;
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    LCMapStringEx(locale, kFlags, text.c_str(), length, out.data(), n, nullptr, nullptr, 0);
    return out;
}

// Whether the locale upper-cases every ASCII character as plain ASCII does (Turkish, for
// one, turns i into a dotted capital I). Only then may ASCII names skip the locale call.
bool AsciiIsPlain(const wchar_t* locale) {
    std::wstring ascii, plain;
    for (wchar_t c = 1; c < 0x80; ++c) {
        ascii += c;
        plain += (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
    }
    return MapUpper(locale, ascii) == plain;
}

std::wstring Upper(const wchar_t* locale, bool asciiIsPlain, const std::wstring& text) {
    if (asciiIsPlain) {
        std::wstring out = text;
        bool ascii = true;
        for (auto& c : out) {
            if (c >= 0x80) {
                ascii = false;
                break;
            }
            if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - (L'a' - L'A'));
        }
        if (ascii) return out;
    }
    return MapUpper(locale, text);
}

}  // namespace

std::wstring UpperCase(const std::wstring& text) {
    // A scan upper-cases once per folder and file, so the locale's verdict on ASCII is taken
    // once per user locale, not once per name.
    thread_local LCID decidedFor = 0;
    thread_local bool asciiIsPlain = false;
    const LCID user = GetUserDefaultLCID();
    if (user != decidedFor) {
        asciiIsPlain = AsciiIsPlain(LOCALE_NAME_USER_DEFAULT);
        decidedFor = user;
    }
    return Upper(LOCALE_NAME_USER_DEFAULT, asciiIsPlain, text);
}

namespace win32 {

std::wstring UpperCaseIn(const std::wstring& localeName, const std::wstring& text) {
    return Upper(localeName.c_str(), AsciiIsPlain(localeName.c_str()), text);
}

}  // namespace win32

}  // namespace prowl
