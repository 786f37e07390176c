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

}  // namespace prowl::win32
