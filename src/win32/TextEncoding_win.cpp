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
    if (bytes.empty()) return true;
    if (bytes.size() > INT_MAX) return false;
    const std::size_t start = out.size();
    out.resize(start + bytes.size());
    const int n = MultiByteToWideChar(CodePage().id, MB_ERR_INVALID_CHARS, bytes.data(),
                                      static_cast<int>(bytes.size()), out.data() + start,
                                      static_cast<int>(bytes.size()));
    if (n <= 0) {
        out.resize(start);
        return false;
    }
    out.resize(start + static_cast<std::size_t>(n));
    return true;
}

}  // namespace prowl
