#pragma once
#include "registration/Launcher.h"

namespace prowl::win32 {

// Starts programs with CreateProcessW. Every handle it gets is closed by RAII; the process of
// a hidden start is kept only to wait for it and read its exit code.
class Win32Launcher final : public Launcher {
  public:
    StartResult StartHidden(const std::wstring& systemProgram, const std::wstring& commandLine,
                            const std::wstring& workingFolder) override;
    bool StartShown(const std::wstring& path, std::wstring* error) override;
};

}  // namespace prowl::win32
