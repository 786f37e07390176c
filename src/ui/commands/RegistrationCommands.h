#pragma once
// Register Me, Unregister Me, Register Group and Unregister Group, on the record of the tree's
// selected node.

#include "ui/ProgramServices.h"

namespace prowl {

class MainWindowLogic;

class RegistrationCommands {
  public:
    RegistrationCommands(MainWindowLogic& window, const ProgramServices& services)
        : window_(window), services_(services) {}

    void RegisterMe() {}
    void UnregisterMe() {}
    void RegisterGroup() {}
    void UnregisterGroup() {}

  private:
    [[maybe_unused]] MainWindowLogic& window_;
    [[maybe_unused]] const ProgramServices& services_;
};

}  // namespace prowl
