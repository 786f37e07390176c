#pragma once
// File Details (the popup and View > File Properties), Project Details and About.

#include "ui/ProgramServices.h"

namespace prowl {

class MainWindowLogic;

class DialogCommands {
  public:
    DialogCommands(MainWindowLogic& window, const ProgramServices& services)
        : window_(window), services_(services) {}

    void ShowFileDetails() {}
    void ShowProjectDetails() {}
    void ShowAbout() {}

  private:
    [[maybe_unused]] MainWindowLogic& window_;
    [[maybe_unused]] const ProgramServices& services_;
};

}  // namespace prowl
