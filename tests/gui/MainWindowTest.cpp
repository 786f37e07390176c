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

// The main window's own status bars and progress bar, and fresh switches on it with a
// toolbar of their own (the window's are built already), for the contract.
struct Win32Controls : ControlsFixture {
    CommandSwitches& Switches() override { return switches; }
    StatusPanels& Panels() override { return window->Panels(); }
    ProgressBarView& Progress() override { return window->Panels(); }
    ProjectState state;
    std::unique_ptr<MainWindow> window =
        (gui_test::InitControls(),
         MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOWNOACTIVATE));
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
    void NewProject() override { ran += L"New|"; }
    bool SaveProject() override { return ran += L"Save|", true; }
    void ReprowlProject() override { ran += L"Re-Prowl|"; }
    std::wstring ran;
};

// Points every import slot of the exe that holds one function at another: the program's own
// DestroyMenu calls can then be watched.
void Repoint(ULONG_PTR from, ULONG_PTR to) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; import->Name; ++import)
        for (auto* slot = reinterpret_cast<ULONG_PTR*>(base + import->FirstThunk); *slot; ++slot)
            if (*slot == from) {
                DWORD was;
                VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &was);
                *slot = to;
                VirtualProtect(slot, sizeof(*slot), was, &was);
            }
}
const auto g_destroyMenu =
    reinterpret_cast<ULONG_PTR>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "DestroyMenu"));
int g_staleMenus = 0;  // menus destroyed after they were gone: a stale handle may name another
BOOL WINAPI WatchedDestroyMenu(HMENU menu) {
    g_staleMenus += !IsMenu(menu);
    return reinterpret_cast<decltype(&DestroyMenu)>(g_destroyMenu)(menu);
}

// One window from its start to Exit: what only the real controls add to the logic.
TEST(RealMainWindow, StartsAsDesignedAndTakesKeysCommandsAndWorkAsAUserWould) {
    ProjectState state;
    CommandLog log;
    auto window =
        (gui_test::InitControls(), MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOW));
    MainWindowLogic& logic = window->Logic();
    logic.SetCommands(&log);
    HWND main = window->Handle(), tree = window->Tree().Handle(), path = window->FilePathBox();
    HWND toolbar = FindWindowExW(main, nullptr, TOOLBARCLASSNAMEW, nullptr);

    // The switches read the control back; the tip as the pointer asks for it. From the last
    // button to the first, which the clicks below use.
    std::wstring buttons;
    TBBUTTON t{};
    for (int i = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0)) - 1; i >= 0; --i) {
        const ToolbarButtonState b = window->Commands().Button(i + 1);
        SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&t));
        NMTTDISPINFOW tip{
            {toolbar, static_cast<UINT_PTR>(t.idCommand), TTN_GETDISPINFOW}, nullptr, {}, {}, 0, 0};
        SendMessageW(main, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
        buttons = (b.separator ? L"-"
                               : b.caption + L":" + (tip.lpszText ? tip.lpszText : L"?") + L":" +
                                     std::to_wstring(b.image)) +
                  (b.enabled ? L"|" : L"~|") + buttons;
    }
    EXPECT_EQ(buttons,
              L"New:New Project:1|Open:Open Project:2|Save:Save Project:3~|Re-Prowl:Search "
              L"for new ActiveX objects within project path:4~|-|Stop:Stop Current Process:5~|");
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
    EXPECT_FALSE(window->Panels().State().visible);
    EXPECT_TRUE(GetWindowLongPtrW(path, GWL_STYLE) & ES_READONLY);

    // Keys as the keyboard posts them, with Ctrl held or not. The tree has the focus at first,
    // Tab moves it, and activation brings it back where it was.
    const auto press = [&](WORD key, BYTE modifier) {
        BYTE keys[256] = {};
        keys[modifier] = 0x80;
        SetKeyboardState(keys);
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        gui_test::Pump(*window);
    };
    const HWND first = GetFocus();
    press(VK_TAB, 0);
    SetActiveWindow(gui_test::MakeWindow().get());
    SetActiveWindow(main);
    EXPECT_EQ(std::pair(first, GetFocus()), std::pair(tree, path));
    // Save and Re-Prowl are disabled at first; a plain N is no shortcut.
    for (bool enabled : {false, true}) {
        logic.EnableSave(enabled);
        logic.EnableReprowl(enabled);
        for (const auto& [key, modifier] :
             {std::pair<WORD, BYTE>{'S', VK_CONTROL}, {VK_F5, 0}, {'N', 0}})
            press(key, modifier);
    }
    EXPECT_EQ(log.ran, L"Save|Re-Prowl|");

    // New clicked, and the window closed, while work looks at the queue (at most every few
    // milliseconds: the pause makes sure it does); then New once the work is done.
    log.ran.clear();
    for (UINT msg : {WM_COMMAND, WM_CLOSE})
        PostMessageW(main, msg, t.idCommand, reinterpret_cast<LPARAM>(toolbar));
    Sleep(20);
    logic.StatusBar_Update(kPanelAction, L"Scanning");
    EXPECT_EQ(std::pair(log.ran, window->Handle()), std::pair(std::wstring(), main)) << "refused";
    PostMessageW(main, WM_COMMAND, t.idCommand, reinterpret_cast<LPARAM>(toolbar));
    gui_test::Pump(*window);
    EXPECT_EQ(std::pair(log.ran, window->Handle()), std::pair(std::wstring(L"New|"), main));

    // The tree grows with the window; each pointer the logic asks for shows over it.
    const auto treeSize = [&](int width, int height) {
        SetWindowPos(main, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        RECT rc;
        GetWindowRect(tree, &rc);
        return std::pair(rc.right - rc.left, rc.bottom - rc.top);
    };
    const auto [width, height] = treeSize(500, 450);
    EXPECT_EQ(treeSize(800, 850), std::pair(width + 300, height + 400));
    for (const auto& [pointer, cursor] : {std::pair(kPointerHourglass, IDC_WAIT),
                                          std::pair(kPointerArrowHourglass, IDC_APPSTARTING),
                                          std::pair(kPointerArrow, IDC_ARROW)}) {
        logic.SetPointer(pointer);
        SendMessageW(tree, WM_SETCURSOR, reinterpret_cast<WPARAM>(tree), MAKELPARAM(HTCLIENT, 0));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, cursor)) << pointer;
    }

    Repoint(g_destroyMenu, reinterpret_cast<ULONG_PTR>(&WatchedDestroyMenu));
    logic.OnMenuClick(L"mnuFileExit");
    EXPECT_EQ(window->Handle(), nullptr);
    window.reset();
    Repoint(reinterpret_cast<ULONG_PTR>(&WatchedDestroyMenu), g_destroyMenu);
    EXPECT_FALSE(IsMenu(bar) || IsMenu(popup)) << "a menu outlived the window";
    EXPECT_EQ(g_staleMenus, 0) << "a menu was destroyed twice";
}

// Refuses to make windows of one class on this thread, as a system short of resources would.
const wchar_t* g_refused = nullptr;
LRESULT CALLBACK RefuseControl(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        const wchar_t* name = reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs->lpszClass;
        if (!IS_INTRESOURCE(name) && lstrcmpiW(name, g_refused) == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(MainWindowLife, AWindowWhoseControlsCannotBeMadeIsNotMade) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseControl, nullptr, GetCurrentThreadId());
    for (const wchar_t* control : {WC_TREEVIEWW, STATUSCLASSNAMEW, WC_EDITW}) {
        ProjectState state;
        g_refused = control;
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
        const MsgAnswer got = win32::Win32Prompts(owner.get())
                                  .ShowMessage({L"Save changes?", L"Prowl test", buttons,
                                                MsgIcon::Question, defaultButton});
        EXPECT_EQ(std::pair(got, shown), std::pair(answer, L"Save changes?" + texts));
    }
    HWND gone = gui_test::MakeWindow().get();  // an owner that no longer exists
    EXPECT_EQ(win32::Win32Prompts(gone).ShowMessage({L"?", L"Prowl test"}), MsgAnswer::NotShown);
}

}  // namespace
}  // namespace prowl
