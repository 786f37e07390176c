#pragma once
// Dialog logic shown as a real modal dialog box: the controls are made from the logic when
// the dialog opens and mirror it after every event; Tab, Enter (the default button) and
// Escape work as in every Windows dialog.
#include <windows.h>

#include "ui/DialogHost.h"

namespace prowl::win32 {

// The control made for logic.Controls()[i] has the id kFirstDialogControlId + i.
inline constexpr int kFirstDialogControlId = 100;

class Win32DialogHost final : public DialogHost {
  public:
    // owner: the window kept disabled while a dialog is up (null for none).
    explicit Win32DialogHost(HWND owner) : owner_(owner) {}
    void ShowModal(ModalDialog& dialog) override;

  private:
    HWND owner_;
};

}  // namespace prowl::win32
