#pragma once
#include <string>

namespace prowl {

// The one place where a record's path becomes the path handed to the system. Records keep
// their paths exactly as made (a drive root's children carry two backslashes after the
// colon); the system gets repeated backslashes collapsed and, for long paths, the \\?\ form.
std::wstring ToSystemPath(const std::wstring& path);

}  // namespace prowl
