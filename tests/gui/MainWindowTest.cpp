// The real main window made inside the test program: its controls mirror the logic, and
// clicks, keys and messages reach the logic as a user's would.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "GuiTestSupport.h"
#include "support/ControlContracts.h"
#include "win32/Images_win.h"
#include "win32/MainWindow_win.h"
#include "win32/Prompts_win.h"

namespace prowl {
namespace {

using win32::MainWindow;
using Strings = std::vector<std::wstring>;

// Fresh switches on a plain window (the main window's are built already), and the main
// window's own status bars and progress bar, for the contract.
struct Win32Controls : ControlsFixture {
    ~Win32Controls() override { ImageList_Destroy(images); }
    CommandSwitches& Switches() override { return switches; }
    StatusPanels& Panels() override { return window->Panels(); }
    ProgressBarView& Progress() override { return window->Panels(); }
    gui_test::Window host = gui_test::MakeWindow();
    HIMAGELIST images = win32::CreateToolbarImageList();
    win32::Win32CommandSwitches switches{
        host.get(),
        CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, host.get(),
                        nullptr, nullptr, nullptr),
        images};
    ProjectState state;
    std::unique_ptr<MainWindow> window =
        MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOWNOACTIVATE);
};
std::unique_ptr<ControlsFixture> MakeWin32Controls() { return std::make_unique<Win32Controls>(); }
INSTANTIATE_TEST_SUITE_P(Win32, ControlsContract,
                         ::testing::Values(ControlsFactory{"Win32", &MakeWin32Controls}),
                         ControlsFactoryName);

// A menu as lines: the caption ("-" for a separator), "(grayed)" when disabled.
Strings Lines(HMENU menu) {
    Strings lines;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        lines.push_back(std::wstring((info.fType & MFT_SEPARATOR) ? L"-" : text) +
                        ((info.fState & MFS_GRAYED) ? L" (grayed)" : L""));
    }
    return lines;
}

struct CommandLog : MainWindowCommands {
    void NewProject() override { ran.push_back(L"New"); }
    bool SaveProject() override { return ran.push_back(L"Save"), true; }
    void ReprowlProject() override { ran.push_back(L"Re-Prowl"); }
    Strings ran;
};

// The slot of the exe's import table through which every DestroyMenu of the program goes.
ULONG_PTR* DestroyMenuSlot() {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; import->Name; ++import) {
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot)
            if (!IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) &&
                !strcmp(
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name,
                    "DestroyMenu"))
                return &slot->u1.Function;
    }
    return nullptr;
}

class RealMainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        gui_test::InitControls();
        SwapDestroyMenu(reinterpret_cast<ULONG_PTR>(&CountStale));
        window = MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOW);
        Logic().SetCommands(&log);
        bar = GetMenu(Main());
        gui_test::Pump(*window);
    }
    // Whether the user closed the window first or not, its menus go, each destroyed once: a
    // stale handle may name another menu by then.
    void TearDown() override {
        window.reset();
        SwapDestroyMenu(realDestroyMenu);
        EXPECT_FALSE(IsMenu(bar));
        EXPECT_EQ(stale, 0) << "a menu was destroyed twice";
    }
    static BOOL WINAPI CountStale(HMENU menu) {
        stale += !IsMenu(menu);
        return reinterpret_cast<decltype(&DestroyMenu)>(realDestroyMenu)(menu);
    }
    static void SwapDestroyMenu(ULONG_PTR to) {
        ULONG_PTR* slot = DestroyMenuSlot();
        DWORD protection;
        VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection);
        realDestroyMenu = std::exchange(*slot, to);
        VirtualProtect(slot, sizeof(*slot), protection, &protection);
    }
    static inline ULONG_PTR realDestroyMenu = 0;
    static inline int stale = 0;
    MainWindowLogic& Logic() { return window->Logic(); }
    HWND Main() { return window->Handle(); }
    HWND Toolbar() { return FindWindowExW(Main(), nullptr, TOOLBARCLASSNAMEW, nullptr); }
    HWND ActionBar() {  // SBAction, after SBSourceFile
        return FindWindowExW(Main(), FindWindowExW(Main(), nullptr, STATUSCLASSNAMEW, nullptr),
                             STATUSCLASSNAMEW, nullptr);
    }
    // Posts a key as the keyboard would, with Shift or Ctrl held, and lets the window take it.
    void PressKey(WORD key, BYTE modifier = 0) {
        BYTE keys[256] = {};
        keys[modifier] = modifier ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(GetFocus() ? GetFocus() : Main(), WM_KEYDOWN, key, 1);
        gui_test::Pump(*window);
        keys[modifier] = 0;
        SetKeyboardState(keys);
    }

    ProjectState state;
    CommandLog log;
    std::unique_ptr<MainWindow> window;
    HMENU bar = nullptr;
};

TEST_F(RealMainWindow, StartsWithItsDesignedControls) {
    Strings toolbar;  // the switches read the control back; the tip as the pointer gets it
    for (int i = 0; i < static_cast<int>(SendMessageW(Toolbar(), TB_BUTTONCOUNT, 0, 0)); ++i) {
        const ToolbarButtonState b = window->Commands().Button(i + 1);
        TBBUTTON t{};
        SendMessageW(Toolbar(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&t));
        wchar_t tip[128] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = Toolbar();
        tool.uId = static_cast<UINT_PTR>(t.idCommand);
        tool.lpszText = tip;
        SendMessageW(reinterpret_cast<HWND>(SendMessageW(Toolbar(), TB_GETTOOLTIPS, 0, 0)),
                     TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
        toolbar.push_back(b.separator ? L"-"
                                      : b.caption + L"|" + tip + L"|" + std::to_wstring(b.image) +
                                            (b.enabled ? L"" : L" (grayed)"));
    }
    EXPECT_EQ(
        toolbar,
        (Strings{L"New|New Project|1", L"Open|Open Project|2", L"Save|Save Project|3 (grayed)",
                 L"Re-Prowl|Search for new ActiveX objects within project path|4 (grayed)", L"-",
                 L"Stop|Stop Current Process|5 (grayed)"}));
    HMENU bar = GetMenu(Main());
    EXPECT_EQ(Lines(bar), (Strings{L"&File", L"&View", L"&Help"})) << "Tree is a popup only";
    EXPECT_EQ(Lines(GetSubMenu(bar, 0)),
              (Strings{L"&New", L"&Open", L"&Save (grayed)", L"-", L"&Re-Prowl (grayed)",
                       L"&Export Report... (grayed)", L"-", L"E&xit"}));
    EXPECT_EQ(Lines(GetSubMenu(bar, 1)),
              (Strings{L"&File Properties (grayed)", L"&Project Details (grayed)"}));
    EXPECT_EQ(Lines(GetSubMenu(bar, 2)), Strings{L"About ActiveX Prowl"});
    // The popup as a user sees it: opened, read, dismissed.
    static Strings popup;
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        popup = Lines(reinterpret_cast<HMENU>(
            SendMessageW(FindWindowW(L"#32768", nullptr), MN_GETHMENU, 0, 0)));
        EndMenu();
    });
    window->Commands().ShowPopupMenu(L"mnuTree", 10, 10);
    EXPECT_EQ(popup, (Strings{L"Register Me (grayed)", L"Unregister Me (grayed)", L"-",
                              L"Register Group (grayed)", L"Unregister Group (grayed)", L"-",
                              L"&File Details... (grayed)", L"-", L"Re&name (grayed)",
                              L"&Copy Path (grayed)"}));
    EXPECT_FALSE(IsWindowVisible(FindWindowExW(ActionBar(), nullptr, PROGRESS_CLASSW, nullptr)));
    EXPECT_TRUE(GetWindowLongPtrW(window->FilePathBox(), GWL_STYLE) & ES_READONLY);
}

TEST_F(RealMainWindow, TheKeyboardReachesTheTreeAndTabAndShortcutsWork) {
    HWND tree = window->Tree().Handle(), path = window->FilePathBox();
    EXPECT_EQ(GetFocus(), tree) << "the tree has the focus from the start";
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), path);
    PressKey(VK_TAB, VK_SHIFT);
    EXPECT_EQ(GetFocus(), tree);
    PressKey(VK_TAB);
    const gui_test::Window other = gui_test::MakeWindow();
    SetActiveWindow(other.get());
    SetActiveWindow(Main());
    EXPECT_EQ(GetFocus(), path) << "activation brings the focus back where it was";

    // Save and Re-Prowl are disabled at first; a plain N is no shortcut. The program's journey
    // presses the others.
    const auto press = [&] {
        for (const auto& [key, modifier] :
             {std::pair<WORD, BYTE>{'S', VK_CONTROL}, {VK_F5, 0}, {'N', 0}})
            PressKey(key, modifier);
    };
    press();
    Logic().EnableSave(true);
    Logic().EnableReprowl(true);
    press();
    EXPECT_EQ(log.ran, (Strings{L"Save", L"Re-Prowl"}));
}

TEST_F(RealMainWindow, CommandsArrivingWhileWorkProcessesMessagesOnlyBeep) {
    TBBUTTON newButton{};
    SendMessageW(Toolbar(), TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&newButton));
    const auto clickNew = [&] {
        PostMessageW(Main(), WM_COMMAND, MAKEWPARAM(newButton.idCommand, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Toolbar()));
    };
    // Work looks at the queue at most every few milliseconds; the pauses make sure it does.
    clickNew();
    Sleep(20);
    Logic().StatusBar_Update(kPanelAction, L"Scanning");  // processes the click meanwhile
    PostMessageW(Main(), WM_CLOSE, 0, 0);
    Sleep(20);
    Logic().ProgressBar_Increment(1);
    EXPECT_NE(Main(), nullptr) << "closing is refused as well";
    gui_test::Pump(*window);
    EXPECT_TRUE(log.ran.empty()) << "the click was taken, and refused, during the work";
    clickNew();
    gui_test::Pump(*window);
    EXPECT_EQ(log.ran, Strings{L"New"});
    Logic().OnMenuClick(L"mnuFileExit");
    EXPECT_EQ(Main(), nullptr);
}

TEST_F(RealMainWindow, TheLastStatusTextAndBusyPointersShowAndTheTreeGrowsWithTheWindow) {
    for (int i = 1; i <= 1000; ++i)
        Logic().StatusBar_Update(kPanelAction, L"Scanning folder " + std::to_wstring(i));
    Sleep(2 * win32::kRepaintInterval);  // however fast the texts came, the last one shows
    gui_test::Pump(*window);
    wchar_t shown[64] = {};
    SendMessageW(ActionBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"Scanning folder 1000");

    const auto treeSize = [&](int width, int height) {
        SetWindowPos(Main(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        RECT tree;
        GetWindowRect(window->Tree().Handle(), &tree);
        return std::pair(tree.right - tree.left, tree.bottom - tree.top);
    };
    const auto [width, height] = treeSize(500, 450);
    EXPECT_EQ(treeSize(800, 850), std::pair(width + 300, height + 400));

    HWND tree = window->Tree().Handle();  // busy pointers show over the window
    for (const auto& [pointer, cursor] : {std::pair(kPointerHourglass, IDC_WAIT),
                                          std::pair(kPointerArrowHourglass, IDC_APPSTARTING),
                                          std::pair(kPointerArrow, IDC_ARROW)}) {
        Logic().SetPointer(pointer);
        SendMessageW(tree, WM_SETCURSOR, reinterpret_cast<WPARAM>(tree), MAKELPARAM(HTCLIENT, 0));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, cursor)) << pointer;
    }
}

// Refuses to make windows of one class on this thread, as a system short of resources would.
const wchar_t* g_refused = nullptr;
LRESULT CALLBACK RefuseControl(int code, WPARAM wp, LPARAM lp) {
    const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs;
    if (code == HCBT_CREATEWND && !IS_INTRESOURCE(create->lpszClass) &&
        lstrcmpiW(create->lpszClass, g_refused) == 0)
        return 1;
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
    std::wstring shown;  // the text, then each button, "*" on the one with the focus
    const auto ask = [&](HWND hwnd, MsgButtons buttons, int defaultButton, int press) {
        shown.clear();
        if (press)
            gui_test::WhenShown(L"Prowl test", [&shown, press](HWND box) {
                shown = gui_test::Text(GetDlgItem(box, 0xFFFF));
                for (HWND b = FindWindowExW(box, nullptr, L"Button", nullptr); b;
                     b = FindWindowExW(box, b, L"Button", nullptr))
                    if (IsWindowVisible(b))
                        shown += L"|" + gui_test::Text(b) + (GetFocus() == b ? L"*" : L"");
                PostMessageW(box, WM_COMMAND, press, 0);
            });
        return win32::Win32Prompts(hwnd).ShowMessage(
            {L"Save changes?", L"Prowl test", buttons, MsgIcon::Question, defaultButton});
    };
    const std::tuple<MsgButtons, int, int, MsgAnswer, std::wstring> cases[] = {
        {MsgButtons::YesNoCancel, 1, IDYES, MsgAnswer::Yes, L"|&Yes*|&No|Cancel"},
        {MsgButtons::YesNoCancel, 3, IDCANCEL, MsgAnswer::Cancel, L"|&Yes|&No|Cancel*"},
        {MsgButtons::YesNo, 2, IDNO, MsgAnswer::No, L"|&Yes|&No*"},
        {MsgButtons::OkCancel, 1, IDOK, MsgAnswer::Ok, L"|OK*|Cancel"},
        {MsgButtons::Ok, 1, IDOK, MsgAnswer::Ok, L"|OK*"},
    };
    for (const auto& [buttons, defaultButton, press, answer, texts] : cases) {
        EXPECT_EQ(ask(owner.get(), buttons, defaultButton, press), answer) << texts;
        EXPECT_EQ(shown, L"Save changes?" + texts);
    }
    HWND gone = gui_test::MakeWindow().get();  // an owner that no longer exists
    EXPECT_EQ(ask(gone, MsgButtons::YesNoCancel, 1, 0), MsgAnswer::NotShown);
}

}  // namespace
}  // namespace prowl
