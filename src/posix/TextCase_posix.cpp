// Upper-casing for the portable build, where no Windows locale exists: ASCII by itself (the
// common case and the only one the scan's extension test needs), anything else by the C
// library's wide-character table, which the tests put in a UTF-8 locale.
#include <cwctype>

#include "model/TextCase.h"

namespace prowl {

std::wstring UpperCase(const std::wstring& text) {
    std::wstring out = text;
    for (auto& c : out) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - (L'a' - L'A'));
        else if (c >= 0x80)
            c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
    return out;
}

}  // namespace prowl
