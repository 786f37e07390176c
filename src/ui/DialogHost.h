#pragma once
// Shows a dialog's logic modally. The Win32 host renders it into a real dialog box owned by
// the main window, which stays disabled until it closes; the in-memory host runs a script a
// test gives. Either way the call returns once the dialog has closed.

namespace prowl {

class ModalDialog;

class DialogHost {
  public:
    virtual ~DialogHost() = default;
    // Errors raised while the dialog is up end it and are thrown again from here.
    virtual void ShowModal(ModalDialog& dialog) = 0;
};

}  // namespace prowl
