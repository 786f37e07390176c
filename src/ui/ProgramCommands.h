#pragma once
// The main window's commands, each family in a class of its own: the project commands (New,
// Open, Save, closing), the re-scan, the registration commands of the tree's popup, and the
// dialogs. The logic calls them through MainWindowCommands once its own guard let them
// through, inside the command's CommandScope.

#include "ui/MainWindowCommands.h"
#include "ui/MainWindowLogic.h"
#include "ui/ProgramServices.h"
#include "ui/commands/DialogCommands.h"
#include "ui/commands/ProjectCommands.h"
#include "ui/commands/RegistrationCommands.h"
#include "ui/commands/ReportCommand.h"
#include "ui/commands/ReprowlCommand.h"

namespace prowl {

class ProgramCommands final : public MainWindowCommands {
  public:
    // Both must outlive the commands. Hands itself to the logic; the destructor takes it back.
    ProgramCommands(MainWindowLogic& window, const ProgramServices& services);
    ~ProgramCommands() override;
    ProgramCommands(const ProgramCommands&) = delete;
    ProgramCommands& operator=(const ProgramCommands&) = delete;

    void NewProject() override { project_.NewProject(); }
    void OpenProject() override { project_.OpenProject(); }
    bool SaveProject() override { return project_.SaveProject(); }
    bool CanClose() override { return project_.CanClose(); }
    void OpenProjectPath(const std::wstring& path) override { project_.OpenProjectPath(path); }
    void NewProjectAt(const std::wstring& folder) override { project_.NewProjectAt(folder); }
    void ReprowlProject() override { reprowl_.ReprowlProject(); }
    void ExportReport() override { report_.ExportReport(); }

    void RegisterMe() override { registration_.RegisterMe(); }
    void UnregisterMe() override { registration_.UnregisterMe(); }
    void RegisterGroup() override { registration_.RegisterGroup(); }
    void UnregisterGroup() override { registration_.UnregisterGroup(); }

    void ShowFileDetails() override { dialogs_.ShowFileDetails(); }
    void ShowFileProperties() override { dialogs_.ShowFileProperties(); }
    void ShowProjectDetails() override { dialogs_.ShowProjectDetails(); }
    void ShowAbout() override { dialogs_.ShowAbout(); }

    ProjectCommands& Project() { return project_; }

  private:
    MainWindowLogic& window_;
    ProgramServices services_;
    ProjectCommands project_;
    ReprowlCommand reprowl_;
    RegistrationCommands registration_;
    DialogCommands dialogs_;
    ReportCommand report_;
};

}  // namespace prowl
