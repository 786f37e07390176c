#include "ui/dialogs/ModalDialog.h"

#include <stdexcept>

namespace prowl {

const DialogControl* ModalDialog::Find(const std::wstring& name) const {
    for (const auto& control : controls_)
        if (control.name == name) return &control;
    return nullptr;
}

const DialogControl& ModalDialog::Control(const std::wstring& name) const {
    if (const DialogControl* control = Find(name)) return *control;
    throw std::out_of_range("dialog: no such control");
}

DialogControl& ModalDialog::Edit(const std::wstring& name) {
    return const_cast<DialogControl&>(Control(name));
}

DialogControl& ModalDialog::Add(DialogControl control) {
    controls_.push_back(std::move(control));
    return controls_.back();
}

void ModalDialog::Click(const std::wstring& name) {
    const DialogControl* control = Find(name);
    if (closed_ || !control || !control->enabled || control->kind != ControlKind::Button) return;
    OnClick(name);
}

void ModalDialog::Select(const std::wstring& name, int32_t index) {
    const DialogControl* control = Find(name);
    if (closed_ || !control || !control->enabled) return;
    if (index < 0 || index >= static_cast<int32_t>(control->items.size())) return;
    OnSelect(name, index);
}

void ModalDialog::Open(const std::wstring& name, int32_t index) {
    const DialogControl* control = Find(name);
    if (closed_ || !control || !control->enabled) return;
    if (index < 0 || index >= static_cast<int32_t>(control->items.size())) return;
    OnOpen(name, index);
}

void ModalDialog::Dismiss() {
    if (!closed_) OnDismiss();
}

Prompts* ModalDialog::RoutePrompts(Prompts* prompts) {
    Prompts* previous = prompts_;
    prompts_ = prompts;
    return previous;
}

}  // namespace prowl
