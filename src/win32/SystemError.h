#pragma once
#include <windows.h>

#include <string>

#include "model/ProwlError.h"

namespace prowl::win32 {

// The system's own description of an error code, without the trailing line break.
std::wstring SystemErrorText(DWORD code);

[[noreturn]] inline void ThrowSystemError(DWORD code) { throw ProwlError(SystemErrorText(code)); }

}  // namespace prowl::win32
