#pragma once
#include <cstdint>
#include <string_view>

namespace prowl {

// FNV-1a over the code units, whatever their size: for the tables that hold a project's
// keys in one allocation rather than one per key.
inline uint32_t HashText(std::wstring_view text) {
    uint32_t h = 2166136261u;
    for (wchar_t c : text) h = (h ^ static_cast<uint32_t>(c)) * 16777619u;
    return h;
}

// For tables of item keys: a key as a scan makes it, "K" and a number, hashes to its number,
// so that keys made in order fill a table in order and a walk through them stays in cache;
// any other text hashes as above.
inline uint32_t HashKey(std::wstring_view key) {
    if (key.size() < 2 || key.size() > 10 || key[0] != L'K') return HashText(key);
    uint32_t number = 0;
    for (wchar_t c : key.substr(1)) {
        if (c < L'0' || c > L'9') return HashText(key);
        number = number * 10 + static_cast<uint32_t>(c - L'0');
    }
    return number;
}

}  // namespace prowl
