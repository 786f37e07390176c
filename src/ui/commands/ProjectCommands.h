#pragma once
// New, Open, Save and closing the window.

#include "ui/ProgramServices.h"

namespace prowl {

class MainWindowLogic;

class ProjectCommands {
  public:
    ProjectCommands(MainWindowLogic& window, const ProgramServices& services)
        : window_(window), services_(services) {}

    void NewProject() {}
    void OpenProject() {}
    // false when the project was not saved (cancelled or failed).
    bool SaveProject() { return false; }
    // Asked when the window is to close and nothing runs; false keeps it open.
    bool CanClose() { return true; }

  private:
    [[maybe_unused]] MainWindowLogic& window_;
    [[maybe_unused]] const ProgramServices& services_;
};

}  // namespace prowl
