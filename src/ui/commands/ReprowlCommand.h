#pragma once
// Re-Prowl: the re-scan of the open project's start path.

#include "ui/ProgramServices.h"

namespace prowl {

class MainWindowLogic;

class ReprowlCommand {
  public:
    ReprowlCommand(MainWindowLogic& window, const ProgramServices& services)
        : window_(window), services_(services) {}

    void ReprowlProject() {}

  private:
    [[maybe_unused]] MainWindowLogic& window_;
    [[maybe_unused]] const ProgramServices& services_;
};

}  // namespace prowl
