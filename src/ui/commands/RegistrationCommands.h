#pragma once
// Register Me, Unregister Me, Register Group and Unregister Group, on the record of the tree's
// selected node.

#include "registration/RegistrationEngine.h"
#include "ui/ProgramServices.h"

namespace prowl {

class MainWindowLogic;

class RegistrationCommands {
  public:
    RegistrationCommands(MainWindowLogic& window, const ProgramServices& services);

    // Each acts on the record of the node the user chose last, whatever its position in the
    // collection; with no node chosen (or the root), nothing happens.
    void RegisterMe();
    void UnregisterMe();
    void RegisterGroup();
    void UnregisterGroup();

  private:
    MainWindowLogic& window_;
    RegistrationEngine engine_;
};

}  // namespace prowl
