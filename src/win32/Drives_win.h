#pragma once
#include <string>

#include "ui/dialogs/MachineDrives.h"

namespace prowl::win32 {

class Win32MachineDrives : public MachineDrives {
  public:
    std::vector<std::wstring> DriveRoots() override;
    std::wstring CurrentFolder() override;
    std::wstring CurrentFolderOf(const std::wstring& root) override;
};

// The system's own folder (System32), without a closing backslash.
std::wstring SystemFolder();

}  // namespace prowl::win32
