#pragma once
// The real main window: it makes the controls, hands them to the logic as its control
// interfaces, and turns clicks, keys and notifications into calls on the logic. Any program
// can make one (the exe, GUI tests, benchmarks that scan through the real status panel).
#include <windows.h>

#include <exception>
#include <memory>

#include "model/ProjectState.h"
#include "ui/MainWindowLogic.h"
#include "ui/ProgramCommands.h"
#include "ui/WindowPlacement.h"
#include "win32/CommandSwitches_win.h"
#include "win32/FileSystem_win.h"
#include "win32/ProgramServices_win.h"
#include "win32/Prompts_win.h"
#include "win32/StatusBar_win.h"
#include "win32/TreeKeys_win.h"
#include "win32/TreeView_win.h"

namespace prowl::win32 {

class MainWindow final : public WindowServices {
  public:
    // Makes the window with every control in its start state and shows it with showCmd
    // (SW_HIDE keeps it hidden). Common controls must have been initialised. Throws when the
    // window or any of its controls cannot be made; then no window is left. With settings,
    // the window takes the place they remember and stores its own when it is destroyed.
    static std::unique_ptr<MainWindow> Create(HINSTANCE instance, ProjectState& state, int showCmd,
                                              SettingsStore* settings = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Null once the window has been destroyed (closed by the user or by Exit).
    HWND Handle() const { return hwnd_; }
    MainWindowLogic& Logic() { return *logic_; }
    Win32TreeView& Tree() { return *tree_; }
    Win32StatusPanels& Panels() { return *panels_; }
    Win32CommandSwitches& Commands() { return *commands_; }
    HWND FilePathBox() const { return filePath_; }
    ProgramCommands& Program() { return *programCommands_; }

    // Keyboard handling every message loop of the thread must give the window first
    // (accelerators, Tab between controls). True when the message was used up.
    bool PreTranslate(MSG& msg);
    // Opens the project file once the messages that show the window have been handled.
    void OpenAtStart(const std::wstring& path);
    // Runs until the window is gone; returns the exit code for the program.
    int RunMessageLoop();

    // WindowServices
    void Beep() override;
    void SetPointer(int32_t pointer) override;
    void Close() override;

  private:
    // Waiting and pumping run commands inside them, so they are reached only through the
    // logic, which marks the window busy around them (its ProcessPendingMessages and
    // WaitForLaunch). Called at every status and progress report of long work, so it looks
    // at the queue at most once every few milliseconds: under Wine each look is a round trip
    // to the server, which once per record would cost more than a whole save. A user cannot
    // tell the delay.
    void ProcessPendingMessages() override;
    bool WaitForProcess(RunningProcess& process,
                        const std::function<bool()>& stopRequested) override;
    // Dispatches what is waiting now, however recently the queue was looked at.
    void DispatchPendingMessages();

    class FilePathBoxView;
    MainWindow() = default;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void Layout();
    void OnCommand(UINT id);
    bool SetCursorForPointer();
    int RestorePlace(int showCmd);
    void StorePlace();

    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    HFONT font_ = nullptr;
    HIMAGELIST treeImages_ = nullptr;
    HIMAGELIST toolbarImages_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HWND toolbar_ = nullptr;
    HWND label2_ = nullptr;
    HWND label3_ = nullptr;
    HWND label1_ = nullptr;
    HWND filePath_ = nullptr;
    HWND sourceFileBar_ = nullptr;
    HWND actionBar_ = nullptr;
    HWND progressBar_ = nullptr;
    int32_t pointer_ = kPointerArrow;
    SettingsStore* settings_ = nullptr;
    std::wstring startPath_;  // the project file named on the command line
    uint64_t lastDispatch_ = 0;
    HWND focus_ = nullptr;  // the control that gets the focus back on activation
    std::exception_ptr
        creationFailure_;  // why WM_CREATE refused  // GetTickCount64 of the last look at the queue

    std::unique_ptr<Win32TreeView> tree_;
    std::unique_ptr<Win32CommandSwitches> commands_;
    std::unique_ptr<Win32StatusPanels> panels_;
    std::unique_ptr<Win32Prompts> prompts_;
    std::unique_ptr<FilePathBoxView> filePathView_;
    std::unique_ptr<Win32TreeGestures> treeGestures_;
    std::unique_ptr<Win32Clipboard> clipboard_;
    Win32FileSystem files_;
    std::unique_ptr<MainWindowLogic> logic_;
    // After the logic, so that the commands are gone before it.
    std::unique_ptr<Win32ProgramServices> services_;
    std::unique_ptr<ProgramCommands> programCommands_;
};

}  // namespace prowl::win32
