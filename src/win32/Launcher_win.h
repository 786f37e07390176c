#pragma once
#include "inspect/SystemFacts.h"
#include "registration/Launcher.h"

namespace prowl::win32 {

// Starts programs with CreateProcessW. Every handle it gets is closed by RAII; the process of
// a hidden start is kept only to wait for it and read its exit code.
class Win32Launcher final : public Launcher {
  public:
    // Programs are started from the system folder of this program's own bitness.
    explicit Win32Launcher(const SystemFacts& facts) : facts_(facts) {}
    StartResult StartHidden(const std::wstring& systemProgram, const std::wstring& commandLine,
                            const std::wstring& workingFolder) override;
    bool StartShown(const std::wstring& path, std::wstring* error) override;

  private:
    const SystemFacts& facts_;
};

}  // namespace prowl::win32
