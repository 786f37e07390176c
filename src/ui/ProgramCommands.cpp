#include "ui/ProgramCommands.h"

namespace prowl {

ProgramCommands::ProgramCommands(MainWindowLogic& window, const ProgramServices& services)
    : window_(window),
      services_(services),
      project_(window, services_),
      reprowl_(window, services_),
      registration_(window, services_),
      dialogs_(window, services_),
      report_(window, services_) {
    window_.SetCommands(this);
}

ProgramCommands::~ProgramCommands() { window_.SetCommands(nullptr); }

}  // namespace prowl
