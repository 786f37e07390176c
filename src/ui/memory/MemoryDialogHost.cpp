#include "ui/memory/MemoryDialogHost.h"

#include <stdexcept>

namespace prowl {

void MemoryDialogHost::ShowModal(ModalDialog& dialog) {
    shown.push_back(dialog.Caption());
    if (scripts.empty()) throw std::logic_error("dialog shown with no script");
    const Script script = std::move(scripts.front());
    scripts.pop_front();
    dialog.Opened();
    script(dialog);
    if (!dialog.Closed()) throw std::logic_error("the script left the dialog open");
}

}  // namespace prowl
