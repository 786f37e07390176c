#pragma once
// The real platform services behind the program's commands, owned by the main window.
#include <windows.h>

#include "ui/ProgramServices.h"
#include "win32/ComponentFile_win.h"
#include "win32/Dialogs_win.h"
#include "win32/Drives_win.h"
#include "win32/FileSystem_win.h"
#include "win32/Launcher_win.h"
#include "win32/Locale_win.h"
#include "win32/Registry_win.h"
#include "win32/SystemFacts_win.h"

namespace prowl::win32 {

class Win32ProgramServices {
  public:
    // Dialogs are owned by `owner`; `files` is the window's own file system.
    Win32ProgramServices(HWND owner, FileSystem& files);
    Win32ProgramServices(const Win32ProgramServices&) = delete;
    Win32ProgramServices& operator=(const Win32ProgramServices&) = delete;

    const ProgramServices& Services() const { return services_; }

  private:
    Win32SystemFacts system_;
    Win32Launcher launcher_{system_};
    Win32RegistryReader registry_;
    Win32DialogHost dialogs_;
    Win32MachineDrives drives_;
    Win32LocaleFormat locale_;
    Win32ComponentFiles components_;
    ProgramServices services_;
};

// The folder that holds the running program, without a trailing backslash.
std::wstring ProgramFolder();

}  // namespace prowl::win32
