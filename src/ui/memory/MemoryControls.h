#pragma once
// The main window's controls held in memory: what the logic's tests read back, and what a
// test scripts (prompt answers, what happens while messages are processed).

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/FileSystem.h"
#include "tree/MemoryTreeView.h"
#include "ui/CommandSwitches.h"
#include "ui/MainWindowLogic.h"
#include "ui/Prompts.h"
#include "ui/StatusPanels.h"
#include "ui/WindowServices.h"
#include "ui/memory/MemoryDisk.h"

namespace prowl {

class MemoryCommandSwitches : public CommandSwitches {
  public:
    void Build(const std::vector<ToolbarButtonState>& buttons,
               const std::vector<MenuItemState>& items) override;
    void SetButtonEnabled(int32_t index, bool enabled) override;
    void SetMenuItemEnabled(const std::wstring& name, bool enabled) override;
    void SetMenuItemVisible(const std::wstring& name, bool visible) override;
    void ShowPopupMenu(const std::wstring& name, int32_t x, int32_t y) override;
    ToolbarButtonState Button(int32_t index) const override;
    MenuItemState MenuItem(const std::wstring& name) const override;

    struct Popup {
        std::wstring name;
        int32_t x, y;
    };
    std::vector<Popup> popups;
    int32_t builds = 0;

  private:
    MenuItemState* Find(const std::wstring& name);
    std::vector<ToolbarButtonState> buttons_;
    std::vector<MenuItemState> items_;
};

class MemoryStatusPanels : public StatusPanels {
  public:
    void SetPanelText(int32_t panel, const std::wstring& text) override;
    std::wstring PanelText(int32_t panel) const override;
    // Every text in the order given, as (panel, text).
    std::vector<std::pair<int32_t, std::wstring>> history;

  private:
    std::wstring texts_[2];
};

class MemoryProgressBar : public ProgressBarView {
  public:
    void Update(const ProgressBarState& state) override {
        state_ = state;
        history.push_back(state);
    }
    ProgressBarState State() const override { return state_; }
    std::vector<ProgressBarState> history;

  private:
    ProgressBarState state_;
};

class MemoryTextBox : public TextBoxView {
  public:
    void SetText(const std::wstring& text) override { text_ = text; }
    std::wstring Text() const override { return text_; }

  private:
    std::wstring text_;
};

// Answers come from queues the test fills; a prompt nobody expected fails loudly.
class ScriptedPrompts : public Prompts {
  public:
    MsgAnswer ShowMessage(const MessageBoxRequest& request) override;
    FileDialogResult ShowFileDialog(const FileDialogRequest& request) override;

    std::deque<MsgAnswer> messageAnswers;
    std::deque<FileDialogResult> fileAnswers;
    std::vector<MessageBoxRequest> messages;
    std::vector<FileDialogRequest> fileDialogs;
};

class MemoryWindowServices : public WindowServices {
  public:
    void Beep() override { ++beeps; }
    void SetPointer(int32_t pointer) override { pointers.push_back(pointer); }
    // Runs onPump, which stands for the messages waiting in the queue: a click on Stop, a
    // second command, a tree edit. It runs at every pass except one nested inside it, and
    // may replace itself.
    void ProcessPendingMessages() override;
    // Asks the program whether it has ended, then runs a pass of onPump, then reads the stop
    // request, as the window's wait does; a wait that nothing ends fails the test.
    bool WaitForProcess(RunningProcess& process,
                        const std::function<bool()>& stopRequested) override;
    void Close() override { ++closes; }

    int32_t beeps = 0;
    int32_t pumps = 0;
    int32_t closes = 0;
    std::vector<int32_t> pointers;
    std::function<void()> onPump;
};

// Every control of the main window, wired for a MainWindowLogic.
struct MemoryMainWindow {
    MemoryCommandSwitches commands;
    MemoryStatusPanels panels;
    MemoryProgressBar progress;
    MemoryTextBox filePath;
    MemoryTreeView tree;
    ScriptedPrompts prompts;
    MemoryWindowServices window;
    MemoryDisk files;

    MainWindowControls Controls() {
        return {commands, panels, progress, filePath, tree, prompts, window, files};
    }
};

}  // namespace prowl
