#pragma once
#include <string>

namespace prowl::win32 {

// Upper case by the rules of the named locale ("tr-TR"), as UpperCase does for the user's.
std::wstring UpperCaseIn(const std::wstring& localeName, const std::wstring& text);

}  // namespace prowl::win32
