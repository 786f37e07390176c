#pragma once
#include <string>

namespace prowl {

// Upper case by the platform's rules for the user's locale (folder labels, the extension
// test). Defined by the platform layer.
std::wstring UpperCase(const std::wstring& text);

}  // namespace prowl
