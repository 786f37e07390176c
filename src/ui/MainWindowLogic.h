#pragma once
// The main window without the window: it owns what a user can observe of every named
// control, pushes each change to the controls, and takes the window's events (toolbar and
// menu clicks, closing) as calls. The Win32 window is a mirror of this object.
//
// The window's side of the bargain: create the controls, construct the logic over them and
// call Start before showing itself; report a toolbar click by the button's key, a menu click
// or an accelerator by the item's name, and a close request through QueryClose. Any loop of
// its own that dispatches messages while a command runs (a wait for a child process) holds
// a BusyScope. Every command runs inside a CommandScope.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/FileSystem.h"
#include "model/ProjectState.h"
#include "model/StatusSink.h"
#include "registration/RegistrationEngine.h"
#include "tree/TreeView.h"
#include "ui/CommandSwitches.h"
#include "ui/MainWindowCommands.h"
#include "ui/ProjectTreeLogic.h"
#include "ui/Prompts.h"
#include "ui/StatusPanels.h"
#include "ui/WindowServices.h"

namespace prowl {

struct MainWindowControls {
    CommandSwitches& commands;
    StatusPanels& panels;
    ProgressBarView& progress;
    TextBoxView& filePath;  // txtFilePath
    TreeView& tree;         // TV
    Prompts& prompts;
    WindowServices& window;
    FileSystem& files;  // what the node click looks up on disk
};

// Toolbar indices and menu item names that the switches address.
inline constexpr int32_t kButtonNew = 1;
inline constexpr int32_t kButtonOpen = 2;
inline constexpr int32_t kButtonSave = 3;
inline constexpr int32_t kButtonReprowl = 4;
inline constexpr int32_t kButtonStop = 6;

// The start state of every toolbar button and menu item, in display order.
const std::vector<ToolbarButtonState>& MainToolbarAtStart();
const std::vector<MenuItemState>& MainMenuAtStart();

class MainWindowLogic : public StatusSink, public RegistrationHost {
  public:
    MainWindowLogic(ProjectState& state, MainWindowControls controls);

    // Builds the toolbar and menus and puts every control into its start state. The window
    // calls it once, after creating its controls and before showing itself.
    void Start();

    // Null restores the default: every delegated command does nothing.
    void SetCommands(MainWindowCommands* commands);

    // Events of the window.
    void OnToolbarButtonClick(const std::wstring& key);
    void OnMenuClick(const std::wstring& name);
    // The window's close request (close box, Alt+F4, system menu). true: the window may be
    // destroyed now. The Exit command asks the same and then closes the window itself.
    bool QueryClose();
    // Windows asks before it logs off or shuts down. Idle, the close question decides; while
    // a command is under way (one of its dialogs is up, a process or a file operation runs)
    // the answer is no, so that nothing is lost to the end of the session.
    bool QueryEndSession();
    // A project file named on the command line, opened once the window is shown.
    void OpenAtStart(const std::wstring& path);
    // Paths dropped on the window: one project file (*.PRW) is opened like File > Open, one
    // folder starts New with it as the start path; anything else, and any drop while a
    // command runs, is refused with the beep.
    void OnDropFiles(const std::vector<std::wstring>& paths);

    // StatusSink: every call ends by processing pending messages.
    void StatusBar_Update(int32_t SBIndex, const std::wstring& aString) override;
    void ProgressBar_Show(bool isVisible, int32_t Max) override;
    void ProgressBar_Increment(int32_t Amount) override;

    void SetProcess(int16_t mode) override;
    void StopProcess();
    void EnableSave(bool enabled);
    void EnableReprowl(bool enabled);
    void EnableFileDetails(bool enabled);
    void EnableStop(bool enabled);
    void SetMenuItemEnabled(const std::wstring& name, bool enabled);  // the tree's popup items
    void SetPointer(int32_t pointer) override;
    void SetFilePath(const std::wstring& text);
    void ProcessPendingMessages();  // marks the window busy meanwhile

    // Busy guard. While any command sits in a loop that processes messages (scan, re-scan,
    // group run, save, open, waiting for a child process), the commands that would change
    // the project or start another process only beep, as they do while ProcessMode is not 0.
    class BusyScope {
      public:
        explicit BusyScope(MainWindowLogic& logic) : logic_(&logic) { ++logic_->busy_; }
        ~BusyScope() { --logic_->busy_; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

      private:
        MainWindowLogic* logic_;
    };
    bool Busy() const { return busy_ > 0; }

    // What a command leaves behind is put back by this object, not by the command's own
    // discipline. On every way out, an exception included:
    // - ProcessMode goes back to 0 through SetProcess (so Stop is disabled again) when it was
    //   0 as the scope began; a scope begun while a process runs (a dialog opened while a scan
    //   reports, Stop itself) leaves the mode to that process;
    // - the pointer goes back to the arrow, or, for a scope begun inside another command (a
    //   command's own scope, or one taken while a command processes messages), to the pointer
    //   it found.
    // It touches nothing of the project. A command sets its pointer through the scope it runs
    // in, or through one of its own.
    class CommandScope {
      public:
        explicit CommandScope(MainWindowLogic& logic);
        ~CommandScope();
        CommandScope(const CommandScope&) = delete;
        CommandScope& operator=(const CommandScope&) = delete;
        void SetPointer(int32_t pointer) { logic_.SetPointer(pointer); }

      private:
        MainWindowLogic& logic_;
        bool ownsProcess_;
        int32_t pointerAtEnd_;
    };
    // Runs a command inside a CommandScope. A failure it lets escape ends it there: once the
    // scope has put everything back, a message box with the critical icon and the caption
    // "ActiveX Prowl - Error" gives the ProwlError's text or a general sentence. Nothing of
    // the project is replaced, and every later command works as before.
    void RunCommand(const std::function<void()>& command);

    // Asks the user through the prompts. A box that could not be shown answers Cancel,
    // whatever its buttons: the command that asked ends as cancelled, so nothing is saved,
    // discarded, replaced or closed on an answer nobody gave.
    MsgAnswer Ask(const MessageBoxRequest& request);
    // True when New, Open, Save, Re-Prowl, the registration commands and closing must be
    // refused; the caller beeps.
    bool ProjectCommandsLocked() const;

    // RegistrationHost: the guard with its beep, and the only way a command waits for a
    // program. The wait marks the window busy and enables Stop whatever ProcessMode is; Stop
    // then ends the wait (the program runs on), and afterwards Stop follows ProcessMode again.
    bool RefuseCommand() override { return Guarded(); }
    bool WaitForLaunch(RunningProcess& process) override;
    // The engine's commands run in a CommandScope like every other.
    void RunScoped(int32_t pointer, int16_t mode, const std::function<void()>& work) override;

    // A save reports success with the generation it captured when it began: the Save
    // command is switched off only when no change was made while the file was written.
    uint64_t BeginSave() const { return changeGeneration_; }
    void SaveSucceeded(uint64_t generationAtBegin);

    // What a user can observe.
    const std::vector<ToolbarButtonState>& Buttons() const { return buttons_; }
    const ToolbarButtonState& Button(int32_t index) const;
    const std::vector<MenuItemState>& MenuItems() const { return menu_; }
    const MenuItemState& MenuItem(const std::wstring& name) const;
    const std::wstring& PanelText(int32_t SBIndex) const;
    const ProgressBarState& Progress() const { return progress_; }
    const std::wstring& FilePath() const { return filePath_; }
    int32_t Pointer() const { return pointer_; }

    ProjectState& State() { return state_; }
    MainWindowControls& Controls() { return controls_; }
    // TV's events, the selection and the tree's part of the popup.
    ProjectTreeLogic& ProjectTree() { return projectTree_; }

  private:
    MenuItemState& Item(const std::wstring& name);
    void SetButton(int32_t index, bool enabled);
    bool Guarded();

    ProjectState& state_;
    MainWindowControls controls_;
    MainWindowCommands defaultCommands_;
    MainWindowCommands* commands_ = &defaultCommands_;

    std::vector<ToolbarButtonState> buttons_;
    std::vector<MenuItemState> menu_;
    std::wstring sourceFileText_;
    std::wstring actionText_;
    ProgressBarState progress_;
    std::wstring filePath_;
    int32_t pointer_ = kPointerArrow;

    int32_t busy_ = 0;
    bool stopRequested_ = false;  // read by a wait for a launched program
    int32_t commandDepth_ = 0;
    uint64_t changeGeneration_ = 0;
    ProjectTreeLogic projectTree_;
};

}  // namespace prowl
