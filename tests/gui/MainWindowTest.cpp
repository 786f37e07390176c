// The real main window made inside the test program: its controls mirror the logic, and
// clicks, keys and messages reach the logic as a user's would.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "GuiTestSupport.h"
#include "win32/MainWindow_win.h"
#include "win32/Prompts_win.h"

namespace prowl {
namespace {

using win32::MainWindow;

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

// The toolbar as text: each button's caption, the tip the pointer asks for and its image ("-"
// for a separator), "~" after a disabled one.
std::wstring Shown(MainWindow& window, HWND toolbar) {
    std::wstring shown;
    for (int i = 0; i < SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0); ++i) {
        const ToolbarButtonState b = window.Commands().Button(i + 1);
        TBBUTTON t{};
        SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&t));
        NMTTDISPINFOW tip{
            {toolbar, static_cast<UINT_PTR>(t.idCommand), TTN_GETDISPINFOW}, nullptr, {}, {}, 0, 0};
        SendMessageW(window.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
        shown += (b.separator ? L"-"
                              : b.caption + L":" + (tip.lpszText ? tip.lpszText : L"?") + L":" +
                                    std::to_wstring(b.image)) +
                 (b.enabled ? L"|" : L"~|");
    }
    return shown;
}

struct CommandLog : MainWindowCommands {
    void NewProject() override { ran += L"New|"; }
    bool SaveProject() override { return ran += L"Save|", true; }
    void ReprowlProject() override { ran += L"Re-Prowl|"; }
    std::wstring ran;
};

// The exe's import slot of DestroyMenu, through which the program's own calls go: pointed at
// a watch, it counts menus destroyed after they were gone (a stale handle may name another).
extern "C" decltype(&DestroyMenu) __imp_DestroyMenu;
extern "C" decltype(&TrackPopupMenu) __imp_TrackPopupMenu;
decltype(&DestroyMenu) g_destroyMenu = nullptr;
int g_staleMenus = 0;
BOOL WINAPI WatchedDestroyMenu(HMENU menu) {
    g_staleMenus += !IsMenu(menu);
    return g_destroyMenu(menu);
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

    // The switches read the control back; the tip as the pointer asks for it.
    EXPECT_EQ(Shown(*window, toolbar),
              L"New:New Project:1|Open:Open Project:2|Save:Save Project:3~|Re-Prowl:Search "
              L"for new ActiveX objects within project path:4~|-|Stop:Stop Current Process:5~|");
    HMENU bar = GetMenu(main);  // Tree is a popup only
    EXPECT_EQ(Shown(bar, true),
              L"&File[&New|&Open|&Save~|-|&Re-Prowl~|&Export Report...~|-|E&xit|]|&View[&File "
              L"Properties~|&Project Details~|]|&Help[About ActiveX Prowl|]|");
    // The popup the tree asks for, taken where the system would show it.
    static HMENU popup;
    const auto track =
        std::exchange(__imp_TrackPopupMenu, [](HMENU menu, UINT, int, int, int, HWND, const RECT*) {
            popup = menu;
            return FALSE;
        });
    window->Commands().ShowPopupMenu(L"mnuTree", 10, 10);
    __imp_TrackPopupMenu = track;
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
    // Each switch reaches its button and items, the popup's too, on and off. Save and Re-Prowl
    // are disabled at first; a plain N is no shortcut.
    const auto grayed = [&] {
        const std::wstring all = Shown(*window, toolbar) + Shown(bar, true) + Shown(popup);
        return std::count(all.begin(), all.end(), L'~');
    };
    const auto start = grayed();
    for (bool enabled : {true, false}) {
        logic.EnableSave(enabled);
        logic.EnableReprowl(enabled);
        logic.EnableFileDetails(enabled);
        EXPECT_EQ(grayed(), start - (enabled ? 8 : 0));
        for (const auto& [key, modifier] :
             {std::pair<WORD, BYTE>{'S', VK_CONTROL}, {VK_F5, 0}, {'N', 0}})
            press(key, modifier);
    }
    window->Panels().Update({true, 3, 10});  // the progress bar shows what it is given
    const ProgressBarState got = window->Panels().State();
    EXPECT_EQ(std::tuple(got.visible, got.value, got.maximum), std::tuple(true, 3.0f, 10.0f));

    // New clicked, and the window closed, while work looks at the queue (at most every few
    // milliseconds: the pause makes sure it does); then New once the work is done.
    TBBUTTON t{};
    SendMessageW(toolbar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&t));
    for (UINT msg : {WM_COMMAND, WM_CLOSE})
        PostMessageW(main, msg, t.idCommand, reinterpret_cast<LPARAM>(toolbar));
    Sleep(20);
    logic.StatusBar_Update(kPanelAction, L"Scanning");
    EXPECT_EQ(log.ran, L"Save|Re-Prowl|") << "refused";
    PostMessageW(main, WM_COMMAND, t.idCommand, reinterpret_cast<LPARAM>(toolbar));
    gui_test::Pump(*window);
    EXPECT_EQ(log.ran, L"Save|Re-Prowl|New|");
    EXPECT_EQ(window->Handle(), main) << "closed while at work";

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

    g_destroyMenu = std::exchange(__imp_DestroyMenu, &WatchedDestroyMenu);
    logic.OnMenuClick(L"mnuFileExit");
    EXPECT_EQ(window->Handle(), nullptr);
    window.reset();
    __imp_DestroyMenu = g_destroyMenu;
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
        {MsgButtons::YesNoCancel, 1, IDYES, MsgAnswer::Yes, L"|&Yes*|&No|Cancel|?|"},
        {MsgButtons::YesNoCancel, 3, IDCANCEL, MsgAnswer::Cancel, L"|&Yes|&No|Cancel*|?|"},
        {MsgButtons::YesNo, 2, IDNO, MsgAnswer::No, L"|&Yes|&No*|?|"},
        {MsgButtons::Ok, 1, IDOK, MsgAnswer::Ok, L"|OK*|?|"},
    };
    for (const auto& [buttons, defaultButton, press, answer, texts] : cases) {
        std::wstring shown;  // what the box shows, "*" after what has the focus
        gui_test::WhenShown(L"Prowl test", [&shown, press = press](HWND box) {
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (IsWindowVisible(c))
                    shown += gui_test::Text(c) + (GetFocus() == c ? L"*|" : L"|");
            PostMessageW(box, WM_COMMAND, press, 0);
        });
        const MsgAnswer got =
            win32::Win32Prompts(owner.get())
                .ShowMessage({L"?", L"Prowl test", buttons, MsgIcon::Question, defaultButton});
        EXPECT_EQ(std::pair(got, shown), std::pair(answer, texts));
    }
    HWND gone = gui_test::MakeWindow().get();  // an owner that no longer exists
    EXPECT_EQ(win32::Win32Prompts(gone).ShowMessage({L"?", L"Prowl test"}), MsgAnswer::NotShown);
}

}  // namespace
}  // namespace prowl
