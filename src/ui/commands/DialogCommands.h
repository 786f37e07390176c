#pragma once
// File Details (the popup and View > File Properties), Project Details and About. The
// registry's state is gathered once per command that shows it, with the hourglass up and the
// window's messages let through, and only once the dialog knows it has a file to show.

#include <string>

#include "inspect/RegistrationIndex.h"
#include "ui/ProgramServices.h"

namespace prowl {

class MainWindowLogic;

class DialogCommands {
  public:
    DialogCommands(MainWindowLogic& window, const ProgramServices& services)
        : window_(window), services_(services) {}

    // The popup's File Details: the file of the tree's selected node.
    void ShowFileDetails();
    // View > File Properties: the file whose path the window's path box shows.
    void ShowFileProperties();
    void ShowProjectDetails();
    void ShowAbout();

  private:
    void ShowFileDetailsOf(const std::wstring& path);
    RegistrationIndex GatherRegistration();

    MainWindowLogic& window_;
    const ProgramServices& services_;
};

}  // namespace prowl
