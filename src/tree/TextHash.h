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

}  // namespace prowl
