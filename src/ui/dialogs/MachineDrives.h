#pragma once
// What the start path chooser needs to know about the machine beyond its folders.

#include <string>
#include <vector>

namespace prowl {

class MachineDrives {
  public:
    virtual ~MachineDrives() = default;
    // The roots of the machine's drives in the system's order, e.g. "C:\", "D:\".
    virtual std::vector<std::wstring> DriveRoots() = 0;
    // The process's current folder, a full path.
    virtual std::wstring CurrentFolder() = 0;
    // The folder a drive opens at: the process's current folder on that drive (which the
    // system remembers per drive), else the root itself. Never touches the drive.
    virtual std::wstring CurrentFolderOf(const std::wstring& root) = 0;
};

}  // namespace prowl
