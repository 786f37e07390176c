#pragma once
// Re-Prowl: the re-scan of the open project's start path. The old project stays aside in
// PreDigColl and PreSaveFile, untouched, until the scan has completed; the user's choices
// are then carried over, the change report shown when the disk gained or lost anything, and
// the tree redrawn. The window refuses it, with the beep, while another process runs.

#include "ui/ProgramServices.h"

namespace prowl {

class MainWindowLogic;

class ReprowlCommand {
  public:
    ReprowlCommand(MainWindowLogic& window, const ProgramServices& services)
        : window_(window), services_(services) {}

    void ReprowlProject();

  private:
    MainWindowLogic& window_;
    const ProgramServices& services_;
};

}  // namespace prowl
