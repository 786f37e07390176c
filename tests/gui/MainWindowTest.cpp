// The real main window made inside the test program: its controls mirror the logic, and
// clicks, keys and messages reach the logic as a user's would.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "GuiTestSupport.h"
#include "support/ControlContracts.h"
#include "win32/MainWindow_win.h"
#include "win32/Prompts_win.h"

namespace prowl {
namespace {

using win32::MainWindow;
using Strings = std::vector<std::wstring>;

// The main window's own status bars and progress bar, and fresh switches on it with a
// toolbar of their own (the window's are built already), for the contract.
struct Win32Controls : ControlsFixture {
    CommandSwitches& Switches() override { return switches; }
    StatusPanels& Panels() override { return window->Panels(); }
    ProgressBarView& Progress() override { return window->Panels(); }
    ProjectState state;
    std::unique_ptr<MainWindow> window =
        MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOWNOACTIVATE);
    win32::Win32CommandSwitches switches{
        window->Handle(),
        CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD, 0, 0, 0, 0, window->Handle(), nullptr,
                        nullptr, nullptr),
        nullptr};
};
std::unique_ptr<ControlsFixture> MakeWin32Controls() { return std::make_unique<Win32Controls>(); }
INSTANTIATE_TEST_SUITE_P(Win32, ControlsContract,
                         ::testing::Values(ControlsFactory{"Win32", &MakeWin32Controls}),
                         ControlsFactoryName);

// A menu as text: each caption ("-" for a separator), "~" after a disabled one, and with deep,
// a submenu's items in brackets after its caption.
std::wstring Shown(HMENU menu, bool deep = false) {
    std::wstring shown;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
        HMENU submenu = GetSubMenu(menu, i);
        shown += std::wstring(*text ? text : L"-") +
                 (GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED ? L"~" : L"") +
                 (deep && submenu ? L"[" + Shown(submenu) + L"]" : L"") + L"|";
    }
    return shown;
}

struct CommandLog : MainWindowCommands {
    void NewProject() override { ran.push_back(L"New"); }
    bool SaveProject() override { return ran.push_back(L"Save"), true; }
    void ReprowlProject() override { ran.push_back(L"Re-Prowl"); }
    Strings ran;
};

// One window from its start to Exit: what only the real controls add to the logic.
TEST(RealMainWindow, StartsAsDesignedAndTakesKeysCommandsAndWorkAsAUserWould) {
    gui_test::InitControls();
    ProjectState state;
    CommandLog log;
    auto window = MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOW);
    window->Logic().SetCommands(&log);
    gui_test::Pump(*window);
    MainWindowLogic& logic = window->Logic();
    HWND main = window->Handle(), tree = window->Tree().Handle(), path = window->FilePathBox();
    HWND toolbar = FindWindowExW(main, nullptr, TOOLBARCLASSNAMEW, nullptr);
    HWND actionBar = FindWindowExW(main, FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr),
                                   STATUSCLASSNAMEW, nullptr);  // after SBSourceFile

    // The switches read the control back; the tip as the pointer asks for it. From the last
    // button to the first, which the clicks below use.
    Strings buttons;
    TBBUTTON t{};
    for (int i = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0)) - 1; i >= 0; --i) {
        const ToolbarButtonState b = window->Commands().Button(i + 1);
        SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&t));
        NMTTDISPINFOW tip{};
        tip.hdr = {toolbar, static_cast<UINT_PTR>(t.idCommand), TTN_GETDISPINFOW};
        SendMessageW(main, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
        buttons.insert(buttons.begin(), b.separator ? L"-"
                                                    : b.caption + L"|" + tip.lpszText + L"|" +
                                                          std::to_wstring(b.image) +
                                                          (b.enabled ? L"" : L"~"));
    }
    EXPECT_EQ(buttons,
              (Strings{L"New|New Project|1", L"Open|Open Project|2", L"Save|Save Project|3~",
                       L"Re-Prowl|Search for new ActiveX objects within project path|4~", L"-",
                       L"Stop|Stop Current Process|5~"}));
    HMENU bar = GetMenu(main);  // Tree is a popup only
    EXPECT_EQ(Shown(bar, true),
              L"&File[&New|&Open|&Save~|-|&Re-Prowl~|&Export Report...~|-|E&xit|]|&View[&File "
              L"Properties~|&Project Details~|]|&Help[About ActiveX Prowl|]|");
    // The popup as a user sees it: opened, read, dismissed.
    static HMENU popup;
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        popup = reinterpret_cast<HMENU>(
            SendMessageW(FindWindowW(L"#32768", nullptr), MN_GETHMENU, 0, 0));
        EndMenu();
    });
    window->Commands().ShowPopupMenu(L"mnuTree", 10, 10);
    EXPECT_EQ(Shown(popup),
              L"Register Me~|Unregister Me~|-|Register Group~|Unregister Group~|-|&"
              L"File Details...~|-|Re&name~|&Copy Path~|");
    EXPECT_FALSE(IsWindowVisible(FindWindowExW(actionBar, nullptr, PROGRESS_CLASSW, nullptr)));
    EXPECT_TRUE(GetWindowLongPtrW(path, GWL_STYLE) & ES_READONLY);

    // Keys as the keyboard posts them, with Shift or Ctrl held. The tree has the focus at
    // first, Tab moves it, and activation brings it back where it was.
    const auto press = [&](WORD key, BYTE modifier) {
        BYTE keys[256] = {};
        keys[modifier] = 0x80;
        SetKeyboardState(keys);
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        gui_test::Pump(*window);
    };
    std::vector<HWND> focus{GetFocus()};
    for (BYTE modifier : {0, VK_SHIFT, 0}) {
        press(VK_TAB, modifier);
        focus.push_back(GetFocus());
    }
    SetActiveWindow(gui_test::MakeWindow().get());
    SetActiveWindow(main);
    focus.push_back(GetFocus());
    EXPECT_EQ(focus, (std::vector<HWND>{tree, path, tree, path, path}));
    // Save and Re-Prowl are disabled at first; a plain N is no shortcut.
    for (bool enabled : {false, true}) {
        logic.EnableSave(enabled);
        logic.EnableReprowl(enabled);
        for (const auto& [key, modifier] :
             {std::pair<WORD, BYTE>{'S', VK_CONTROL}, {VK_F5, 0}, {'N', 0}})
            press(key, modifier);
    }
    EXPECT_EQ(log.ran, (Strings{L"Save", L"Re-Prowl"}));

    // New clicked, and the window closed, while work looks at the queue (at most every few
    // milliseconds: the pause makes sure it does); then New once the work is done.
    log.ran.clear();
    for (UINT msg : {WM_COMMAND, WM_CLOSE})
        PostMessageW(main, msg, t.idCommand, reinterpret_cast<LPARAM>(toolbar));
    Sleep(20);
    logic.StatusBar_Update(kPanelAction, L"Scanning");
    EXPECT_EQ(std::tuple(log.ran.size(), window->Handle()), std::tuple(0u, main)) << "refused";
    PostMessageW(main, WM_COMMAND, t.idCommand, reinterpret_cast<LPARAM>(toolbar));
    gui_test::Pump(*window);
    EXPECT_EQ(log.ran, Strings{L"New"});

    for (int i = 1; i <= 1000; ++i)
        logic.StatusBar_Update(kPanelAction, L"Scanning folder " + std::to_wstring(i));
    Sleep(2 * win32::kRepaintInterval);  // however fast the texts came, the last one shows
    gui_test::Pump(*window);
    wchar_t shown[64] = {};
    SendMessageW(actionBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"Scanning folder 1000");

    for (const auto& [pointer, cursor] : {std::pair(kPointerHourglass, IDC_WAIT),
                                          std::pair(kPointerArrowHourglass, IDC_APPSTARTING),
                                          std::pair(kPointerArrow, IDC_ARROW)}) {
        logic.SetPointer(pointer);
        SendMessageW(tree, WM_SETCURSOR, reinterpret_cast<WPARAM>(tree), MAKELPARAM(HTCLIENT, 0));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, cursor)) << pointer;
    }

    logic.OnMenuClick(L"mnuFileExit");
    EXPECT_EQ(window->Handle(), nullptr);
    window.reset();
    EXPECT_FALSE(IsMenu(bar) || IsMenu(popup)) << "a menu outlived the window";
}

TEST(MainWindowLife, AWindowWhoseControlsCannotBeMadeIsNotMade) {
    // Refuses to make windows of one class on this thread, as a system short of resources would.
    static const wchar_t* refused = nullptr;
    HHOOK hook = SetWindowsHookExW(
        WH_CBT,
        [](int code, WPARAM wp, LPARAM lp) {
            const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lp);
            return code == HCBT_CREATEWND && !IS_INTRESOURCE(create->lpcs->lpszClass) &&
                           lstrcmpiW(create->lpcs->lpszClass, refused) == 0
                       ? 1
                       : CallNextHookEx(nullptr, code, wp, lp);
        },
        nullptr, GetCurrentThreadId());
    for (const wchar_t* control : {WC_TREEVIEWW, STATUSCLASSNAMEW, WC_EDITW}) {
        ProjectState state;
        refused = control;
        EXPECT_ANY_THROW(MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOW));
        EXPECT_EQ(FindWindowW(nullptr, L"ActiveX Prowl"), nullptr) << "no window left behind";
    }
    UnhookWindowsHookEx(hook);
}

TEST(Prompts, AMessageBoxAnswersWithTheButtonPressedOrSaysItWasNotShown) {
    const gui_test::Window owner = gui_test::MakeWindow();
    const std::tuple<MsgButtons, int, int, MsgAnswer, std::wstring> cases[] = {
        {MsgButtons::YesNoCancel, 1, IDYES, MsgAnswer::Yes, L"|&Yes*|&No|Cancel"},
        {MsgButtons::YesNoCancel, 3, IDCANCEL, MsgAnswer::Cancel, L"|&Yes|&No|Cancel*"},
        {MsgButtons::YesNo, 2, IDNO, MsgAnswer::No, L"|&Yes|&No*"},
        {MsgButtons::OkCancel, 1, IDOK, MsgAnswer::Ok, L"|OK*|Cancel"},
        {MsgButtons::Ok, 1, IDOK, MsgAnswer::Ok, L"|OK*"},
    };
    for (const auto& [buttons, defaultButton, press, answer, texts] : cases) {
        std::wstring shown;  // the text, then each button, "*" on the one with the focus
        gui_test::WhenShown(L"Prowl test", [&shown, press = press](HWND box) {
            shown = gui_test::Text(GetDlgItem(box, 0xFFFF));
            for (HWND b = FindWindowExW(box, nullptr, L"Button", nullptr); b;
                 b = FindWindowExW(box, b, L"Button", nullptr))
                if (IsWindowVisible(b))
                    shown += L"|" + gui_test::Text(b) + (GetFocus() == b ? L"*" : L"");
            PostMessageW(box, WM_COMMAND, press, 0);
        });
        EXPECT_EQ(win32::Win32Prompts(owner.get())
                      .ShowMessage({L"Save changes?", L"Prowl test", buttons, MsgIcon::Question,
                                    defaultButton}),
                  answer);
        EXPECT_EQ(shown, L"Save changes?" + texts);
    }
    HWND gone = gui_test::MakeWindow().get();  // an owner that no longer exists
    EXPECT_EQ(win32::Win32Prompts(gone).ShowMessage({L"?", L"Prowl test"}), MsgAnswer::NotShown);
}

}  // namespace
}  // namespace prowl
