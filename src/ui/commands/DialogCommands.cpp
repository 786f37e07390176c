#include "ui/commands/DialogCommands.h"

#include "registration/RegistrationEngine.h"
#include "ui/MainWindowLogic.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/dialogs/DetailsDialogs.h"

namespace prowl {

void DialogCommands::ShowFileDetails() {
    if (const ObjectRef record = window_.ProjectTree().SelectedRecord())
        ShowFileDetailsOf(record->Path);
}

void DialogCommands::ShowFileProperties() { ShowFileDetailsOf(window_.FilePath()); }

void DialogCommands::ShowFileDetailsOf(const std::wstring& path) {
    if (path.empty()) return;
    FileDetailsDialog dialog(
        services_.files, services_.locale, window_.Controls().prompts,
        {services_.components, services_.system, [this] { return GatherRegistration(); }});
    if (!dialog.Init(path)) services_.dialogs.ShowModal(dialog);
}

void DialogCommands::ShowProjectDetails() {
    const ProjectState& state = window_.State();
    if (!state.SaveFile || !state.DigColl) return;
    ProjectDetailsDialog dialog;
    dialog.Init(*state.SaveFile, *state.DigColl, GatherRegistration());
    services_.dialogs.ShowModal(dialog);
}

void DialogCommands::ShowAbout() {
    AboutBox dialog(services_.registry, services_.launcher, services_.files,
                    window_.Controls().prompts, services_.system.SystemFolder(Bitness::Bits64));
    services_.dialogs.ShowModal(dialog);
}

RegistrationIndex DialogCommands::GatherRegistration() {
    return prowl::GatherRegistration(services_.registry, services_.system, window_);
}

}  // namespace prowl
