#pragma once
// Dialogs shown in memory: each one shown takes the next script the test gave, which acts
// on it as a user would. A dialog nobody expected, or one its script left open, fails loudly
// (a real one would wait for the user forever).

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/DialogHost.h"
#include "ui/dialogs/ModalDialog.h"

namespace prowl {

class MemoryDialogHost : public DialogHost {
  public:
    using Script = std::function<void(ModalDialog&)>;
    void ShowModal(ModalDialog& dialog) override;

    std::deque<Script> scripts;
    std::vector<std::wstring> shown;  // the caption of each dialog shown, in order
};

}  // namespace prowl
