#include "ui/memory/MemoryControls.h"

#include <stdexcept>

#include "registration/Launcher.h"

namespace prowl {

void MemoryCommandSwitches::Build(const std::vector<ToolbarButtonState>& buttons,
                                  const std::vector<MenuItemState>& items) {
    buttons_ = buttons;
    items_ = items;
    ++builds;
}

// As on the real controls, a change aimed at nothing is ignored and reading nothing throws.
void MemoryCommandSwitches::SetButtonEnabled(int32_t index, bool enabled) {
    if (index >= 1 && index <= static_cast<int32_t>(buttons_.size()))
        buttons_[static_cast<std::size_t>(index - 1)].enabled = enabled;
}

void MemoryCommandSwitches::SetMenuItemEnabled(const std::wstring& name, bool enabled) {
    if (MenuItemState* item = Find(name)) item->enabled = enabled;
}

void MemoryCommandSwitches::SetMenuItemVisible(const std::wstring& name, bool visible) {
    if (MenuItemState* item = Find(name)) item->visible = visible;
}

void MemoryCommandSwitches::ShowPopupMenu(const std::wstring& name, int32_t x, int32_t y) {
    if (Find(name)) popups.push_back({name, x, y});
}

ToolbarButtonState MemoryCommandSwitches::Button(int32_t index) const {
    if (index < 1 || index > static_cast<int32_t>(buttons_.size()))
        throw std::out_of_range("toolbar: no such button");
    return buttons_[static_cast<std::size_t>(index - 1)];
}

MenuItemState MemoryCommandSwitches::MenuItem(const std::wstring& name) const {
    if (const MenuItemState* item = const_cast<MemoryCommandSwitches*>(this)->Find(name))
        return *item;
    throw std::out_of_range("menu: no such item");
}

MenuItemState* MemoryCommandSwitches::Find(const std::wstring& name) {
    for (auto& item : items_)
        if (item.name == name) return &item;
    return nullptr;
}

void MemoryStatusPanels::SetPanelText(int32_t panel, const std::wstring& text) {
    if (panel != 1 && panel != 2) return;
    texts_[panel - 1] = text;
    history.emplace_back(panel, text);
}

std::wstring MemoryStatusPanels::PanelText(int32_t panel) const {
    return panel == 1 || panel == 2 ? texts_[panel - 1] : std::wstring();
}

MsgAnswer ScriptedPrompts::ShowMessage(const MessageBoxRequest& request) {
    messages.push_back(request);
    if (messageAnswers.empty()) throw std::logic_error("message box shown with no answer scripted");
    const auto answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

FileDialogResult ScriptedPrompts::ShowFileDialog(const FileDialogRequest& request) {
    fileDialogs.push_back(request);
    if (fileAnswers.empty()) throw std::logic_error("file dialog shown with no answer scripted");
    const auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

void MemoryWindowServices::ProcessPendingMessages() {
    ++pumps;
    if (onPump) {
        // The queue is drained by one pass; a nested pass finds it empty.
        auto pending = std::move(onPump);
        onPump = nullptr;
        pending();
        if (!onPump) onPump = std::move(pending);
    }
}

bool MemoryWindowServices::WaitForProcess(RunningProcess& process,
                                          const std::function<bool()>& stopRequested) {
    for (int pass = 0;; ++pass) {
        if (process.WaitForExitOrInput(0)) return true;
        if (pass == 10000) throw std::logic_error("a wait that nothing ends");
        ProcessPendingMessages();
        if (stopRequested()) return false;
    }
}

}  // namespace prowl
