#pragma once
// The commands of the main window whose work lives outside it (project commands, re-scan,
// registration, dialogs). The logic calls them after its own guard has let the command
// through; whoever implements a command overrides its handler. Until then a command does
// nothing.

#include <string>

namespace prowl {

class MainWindowCommands {
  public:
    virtual ~MainWindowCommands() = default;

    virtual void NewProject() {}
    virtual void OpenProject() {}
    // false when the project was not saved (cancelled or failed).
    virtual bool SaveProject() { return false; }
    virtual void ReprowlProject() {}
    // Open and New with the dialog's answer given from outside (the command line, a drop on
    // the window): a project file's path, a start folder.
    virtual void OpenProjectPath(const std::wstring&) {}
    virtual void NewProjectAt(const std::wstring&) {}
    virtual void ExportReport() {}

    virtual void RegisterMe() {}
    virtual void UnregisterMe() {}
    virtual void RegisterGroup() {}
    virtual void UnregisterGroup() {}

    virtual void ShowFileDetails() {}
    virtual void ShowFileProperties() {}
    virtual void ShowProjectDetails() {}
    virtual void ShowAbout() {}

    // Asked when the window is to close and nothing is running; false keeps it open.
    virtual bool CanClose() { return true; }
};

}  // namespace prowl
