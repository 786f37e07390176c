#include "ui/commands/RegistrationCommands.h"

#include "ui/MainWindowLogic.h"

namespace prowl {

RegistrationCommands::RegistrationCommands(MainWindowLogic& window, const ProgramServices& services)
    : window_(window),
      engine_(window.State(), services.files, services.launcher, window, window.Controls().prompts,
              services.components, services.system) {}

// The engine refuses a null record itself; the selection is read when the command runs, so
// a rebuild since the click leaves nothing to act on.
void RegistrationCommands::RegisterMe() {
    engine_.RegisterMe(window_.ProjectTree().SelectedRecord());
}

void RegistrationCommands::UnregisterMe() {
    engine_.UnregisterMe(window_.ProjectTree().SelectedRecord());
}

void RegistrationCommands::RegisterGroup() {
    engine_.RunGroup(window_.ProjectTree().SelectedRecord(), true);
}

void RegistrationCommands::UnregisterGroup() {
    engine_.RunGroup(window_.ProjectTree().SelectedRecord(), false);
}

}  // namespace prowl
