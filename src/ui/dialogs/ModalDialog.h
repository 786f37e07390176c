#pragma once
// The logic of a modal dialog: everything a user can see in it (caption, every control's
// text, enabled state and list entries) and every way a user can act on it. The window that
// shows it only mirrors the controls and turns real input into these calls.

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Prompts.h"

namespace prowl {

enum class ControlKind {
    Label,         // plain text, wrapped onto as many lines as it needs
    CaptionLabel,  // bold
    WarningLabel,  // red
    Separator,     // an etched horizontal rule
    Icon,          // the application's icon
    Button,
    DriveList,      // a drop-down list of drives
    DirectoryList,  // folders, indented by depth
    TreeList,       // a flat tree view drawn with the project tree's images
};

struct DialogItem {
    std::wstring text{};
    std::wstring key{};    // tree lists: the node's key ("" when it has none)
    std::wstring image{};  // tree lists: the image key of the project tree's images
    int32_t indent = 0;    // directory lists: the depth below the root
    friend bool operator==(const DialogItem&, const DialogItem&) = default;
};

struct DialogControl {
    std::wstring name{};  // the form's name for it: cmdOK, lblSize, aDir
    ControlKind kind = ControlKind::Label;
    std::wstring text{};
    bool enabled = true;
    bool isDefault = false;  // the button Enter presses
    // 0 starts a new row; n > 0 sits in column n of the current row, right of the one before.
    int32_t column = 0;
    int32_t lines = 1;  // least height in text lines
    std::vector<DialogItem> items{};
    int32_t selected = -1;  // 0-based position in items, -1 for none
    friend bool operator==(const DialogControl&, const DialogControl&) = default;
};

class ModalDialog {
  public:
    // Dialogs that ask nothing of the user need no prompts.
    ModalDialog(std::wstring form, std::wstring caption, Prompts* prompts = nullptr)
        : form_(std::move(form)), caption_(std::move(caption)), prompts_(prompts) {}
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    const std::wstring& Form() const { return form_; }
    const std::wstring& Caption() const { return caption_; }
    const std::vector<DialogControl>& Controls() const { return controls_; }
    // Throws std::out_of_range for a name the dialog does not have.
    const DialogControl& Control(const std::wstring& name) const;
    const std::wstring& Text(const std::wstring& name) const { return Control(name).text; }

    // The host calls Opened when it shows the dialog; every way out ends in Closed.
    void Opened() { closed_ = false; }
    bool Closed() const { return closed_; }

    // A user's actions. A click on a disabled or unknown control, or any action on a closed
    // dialog, does nothing, as a queued click that arrives late must not act.
    void Click(const std::wstring& name);
    void Select(const std::wstring& name, int32_t index);  // a list's highlight moved
    void Open(const std::wstring& name, int32_t index);    // double click or Enter on an item
    // Escape, the close box, Alt+F4: every way out that is not one of the form's buttons.
    void Dismiss();

    // Messages shown while the dialog is up must be owned by it, so the host hands the
    // dialog prompts of its own for the time it is shown.
    Prompts* RoutePrompts(Prompts* prompts);

  protected:
    Prompts& CurrentPrompts() { return *prompts_; }
    DialogControl& Add(DialogControl control);
    DialogControl& Edit(const std::wstring& name);
    void Close() { closed_ = true; }

    virtual void OnClick(const std::wstring& name) = 0;
    virtual void OnSelect(const std::wstring&, int32_t) {}
    virtual void OnOpen(const std::wstring&, int32_t) {}
    virtual void OnDismiss() { Close(); }

  private:
    const DialogControl* Find(const std::wstring& name) const;

    std::wstring form_;
    std::wstring caption_;
    Prompts* prompts_;
    std::vector<DialogControl> controls_;
    bool closed_ = false;
};

}  // namespace prowl
