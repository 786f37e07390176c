#pragma once
// The platform services the program's commands use, each behind its interface. The window
// makes the real ones (src/win32/ProgramServices_win); tests hand in doubles or, under Wine,
// the real ones where that is simpler.

#include <string>

#include "inspect/ComponentFiles.h"
#include "inspect/SystemFacts.h"
#include "model/FileSystem.h"
#include "model/RegistryReader.h"
#include "registration/Launcher.h"
#include "ui/DialogHost.h"
#include "ui/dialogs/LocaleFormat.h"
#include "ui/dialogs/MachineDrives.h"

namespace prowl {

struct ProgramServices {
    FileSystem& files;
    Launcher& launcher;
    RegistryReader& registry;
    DialogHost& dialogs;
    MachineDrives& drives;
    LocaleFormat& locale;
    ComponentFiles& components;
    SystemFacts& system;
    // The folder that holds the program: where the file dialogs open.
    std::wstring programFolder;
};

}  // namespace prowl
