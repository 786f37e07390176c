#include <windows.h>

#include "model/TextCase.h"

namespace prowl {

std::wstring UpperCase(const std::wstring& text) {
    // Most names are ASCII; spare them the locale call, which runs once per folder in a scan.
    bool ascii = true;
    for (wchar_t c : text) {
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    }
    std::wstring out = text;
    if (ascii) {
        for (auto& c : out)
            if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - (L'a' - L'A'));
        return out;
    }
    const int n =
        LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING,
                      text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr, 0);
    if (n <= 0) return out;
    out.resize(static_cast<std::size_t>(n));
    LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING, text.c_str(),
                  static_cast<int>(text.size()), out.data(), n, nullptr, nullptr, 0);
    return out;
}

}  // namespace prowl
