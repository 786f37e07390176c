// The ANSI code page of the portable build: Windows-1252, the one Western systems (and Wine
// under a plain Unix locale) use. Its five unassigned bytes decode to nothing, so a file
// holding them is refused as Windows refuses it.
#include <array>

#include "projectfile/TextEncoding.h"

namespace prowl {

namespace {

// 0x80 to 0x9F; 0 where the code page assigns nothing. Everything else maps to itself.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool ToByte(wchar_t c, char& byte) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        byte = static_cast<char>(c);
        return true;
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] != 0 && static_cast<wchar_t>(kHigh[i]) == c) {
            byte = static_cast<char>(0x80 + i);
            return true;
        }
    return false;
}

}  // namespace

bool TryEncodeAnsi(std::wstring_view text, std::string& out) {
    const std::size_t start = out.size();
    char byte = 0;
    for (const wchar_t c : text) {
        if (!ToByte(c, byte)) {
            out.resize(start);
            return false;
        }
        out += byte;
    }
    return true;
}

bool TryDecodeAnsi(std::string_view bytes, std::wstring& out) {
    const std::size_t start = out.size();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        const wchar_t c = (u >= 0x80 && u < 0xA0) ? static_cast<wchar_t>(kHigh[u - 0x80]) : u;
        if (c == 0) {
            out.resize(start);
            return false;
        }
        out += c;
    }
    return true;
}

}  // namespace prowl
