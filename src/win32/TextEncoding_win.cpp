#include <windows.h>

#include <climits>

#include "projectfile/TextEncoding.h"

namespace prowl {

namespace {

// The system code page is fixed for the life of the process; a save may ask once per field.
struct SystemCodePage {
    UINT id = GetACP();
    UINT maxBytesPerChar = [this] {
        CPINFO info;
        return GetCPInfo(id, &info) ? info.MaxCharSize : 4u;
    }();
};

const SystemCodePage& CodePage() {
    static const SystemCodePage page;
    return page;
}

}  // namespace

bool TryEncodeAnsi(std::wstring_view text, std::string& out) {
    if (text.empty()) return true;
    if (text.size() > INT_MAX / 4) return false;
    const UINT codePage = CodePage().id;
    // UTF-8 as the system code page takes neither the best-fit flag nor the default-char test.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    const std::size_t start = out.size();
    const std::size_t room = text.size() * CodePage().maxBytesPerChar;
    out.resize(start + room);
    const int n = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()),
                                      out.data() + start, static_cast<int>(room), nullptr,
                                      utf8 ? nullptr : &usedDefault);
    if (n <= 0 || usedDefault) {
        out.resize(start);
        return false;
    }
    out.resize(start + static_cast<std::size_t>(n));
    return true;
}

bool TryDecodeAnsi(std::string_view bytes, std::wstring& out) {
    if (bytes.size() > INT_MAX) return false;
    const std::size_t start = out.size();
    out.resize(start + bytes.size());
    wchar_t* const wide = out.data() + start;
    // Every system code page agrees with ASCII below 0x80 outside multi-byte sequences, and a
    // project file is mostly ASCII: widen that lead directly, the platform takes the rest.
    std::size_t ascii = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    constexpr std::size_t kBlock = 64;
    while (ascii + kBlock <= bytes.size()) {
        unsigned seen = 0;
        for (std::size_t i = 0; i < kBlock; ++i) seen |= p[ascii + i];
        if (seen >= 0x80) break;
        for (std::size_t i = 0; i < kBlock; ++i)
            wide[ascii + i] = static_cast<wchar_t>(p[ascii + i]);
        ascii += kBlock;
    }
    while (ascii < bytes.size() && p[ascii] < 0x80) {
        wide[ascii] = static_cast<wchar_t>(p[ascii]);
        ++ascii;
    }
    std::size_t length = ascii;
    if (ascii < bytes.size()) {
        const int rest = static_cast<int>(bytes.size() - ascii);
        const int n = MultiByteToWideChar(CodePage().id, MB_ERR_INVALID_CHARS, bytes.data() + ascii,
                                          rest, wide + ascii, rest);
        if (n <= 0) {
            out.resize(start);
            return false;
        }
        length += static_cast<std::size_t>(n);
    }
    out.resize(start + length);
    return true;
}

}  // namespace prowl
