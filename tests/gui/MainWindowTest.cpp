// The real main window made inside the test program: its controls mirror the logic, and
// clicks, keys and messages reach the logic as a user's would.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "ui/MainWindowLogic.h"
#include "win32/MainWindow_win.h"

namespace prowl {
namespace {

using win32::MainWindow;

struct CommandLog : MainWindowCommands {
    void NewProject() override { ran.push_back(L"New"); }
    void OpenProject() override { ran.push_back(L"Open"); }
    bool SaveProject() override {
        ran.push_back(L"Save");
        return true;
    }
    void ReprowlProject() override { ran.push_back(L"Re-Prowl"); }
    std::vector<std::wstring> ran;
};

struct MenuLine {
    std::wstring caption;  // "-" for a separator
    bool enabled;
    bool operator==(const MenuLine& o) const {
        return caption == o.caption && enabled == o.enabled;
    }
};
void PrintTo(const MenuLine& m, std::ostream* os) {
    *os << std::string(m.caption.begin(), m.caption.end()) << (m.enabled ? "" : " (grayed)");
}

std::vector<MenuLine> Lines(HMENU menu) {
    std::vector<MenuLine> lines;
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        lines.push_back(
            {(info.fType & MFT_SEPARATOR) ? L"-" : text, (info.fState & MFS_GRAYED) == 0});
    }
    return lines;
}

class RealMainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        window = MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOWNOACTIVATE);
        Logic().SetCommands(&log);
        window->DispatchPendingMessages();
    }
    void TearDown() override {
        window.reset();
        gui_test::Pump();
    }
    MainWindowLogic& Logic() { return window->Logic(); }
    HWND Main() { return window->Handle(); }
    HWND Toolbar() { return FindWindowExW(Main(), nullptr, TOOLBARCLASSNAMEW, nullptr); }
    int ButtonId(int index) {
        TBBUTTON tb{};
        SendMessageW(Toolbar(), TB_GETBUTTON, index - 1, reinterpret_cast<LPARAM>(&tb));
        return tb.idCommand;
    }
    void ClickButton(int index) {
        PostMessageW(Main(), WM_COMMAND, MAKEWPARAM(ButtonId(index), BN_CLICKED),
                     reinterpret_cast<LPARAM>(Toolbar()));
    }
    void PressKey(WORD key, bool control) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(Main(), WM_KEYDOWN, key, 1);
        window->DispatchPendingMessages();
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    RECT Rect(HWND child) {
        RECT rc;
        GetWindowRect(child, &rc);
        MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }

    ProjectState state;
    CommandLog log;
    std::unique_ptr<MainWindow> window;
};

TEST_F(RealMainWindow, MenuBarAndTreePopupHoldTheirItemsInOrder) {
    HMENU bar = GetMenu(Main());
    EXPECT_EQ(Lines(bar),
              (std::vector<MenuLine>{{L"&File", true}, {L"&View", true}, {L"&Help", true}}))
        << "Tree is a popup only";
    EXPECT_EQ(Lines(GetSubMenu(bar, 0)), (std::vector<MenuLine>{{L"&New", true},
                                                                {L"&Open", true},
                                                                {L"&Save", false},
                                                                {L"-", true},
                                                                {L"&Re-Prowl", false},
                                                                {L"-", true},
                                                                {L"E&xit", true}}));
    EXPECT_EQ(Lines(GetSubMenu(bar, 1)),
              (std::vector<MenuLine>{{L"&File Properties", false}, {L"&Project Details", false}}));
    EXPECT_EQ(Lines(GetSubMenu(bar, 2)), (std::vector<MenuLine>{{L"About ActiveX Prowl", true}}));

    // The popup as a user sees it: opened, read, dismissed.
    static std::vector<MenuLine> shown;
    shown.clear();
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (HWND popup = FindWindowW(L"#32768", nullptr))
            shown = Lines(reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)));
        EndMenu();
    });
    window->Commands().ShowPopupMenu(L"mnuTree", 10, 10);
    EXPECT_EQ(shown, (std::vector<MenuLine>{{L"Register Me", false},
                                            {L"Unregister Me", false},
                                            {L"-", true},
                                            {L"Register Group", false},
                                            {L"Unregister Group", false},
                                            {L"-", true},
                                            {L"&File Details...", false}}));
}

TEST_F(RealMainWindow, SwitchesReachToolbarAndMenusTogether) {
    Logic().EnableSave(true);
    Logic().EnableReprowl(true);
    Logic().EnableFileDetails(true);
    Logic().SetProcess(kProcessGroupRegister);
    for (int index : {3, 4, 6})
        EXPECT_TRUE(SendMessageW(Toolbar(), TB_ISBUTTONENABLED, ButtonId(index), 0)) << index;
    HMENU bar = GetMenu(Main());
    EXPECT_TRUE(Lines(GetSubMenu(bar, 0))[2].enabled);
    EXPECT_TRUE(Lines(GetSubMenu(bar, 0))[4].enabled);
    EXPECT_EQ(Lines(GetSubMenu(bar, 1)),
              (std::vector<MenuLine>{{L"&File Properties", true}, {L"&Project Details", true}}));
    for (const auto& item : MainMenuAtStart())
        EXPECT_EQ(window->Commands().MenuItem(item.name).enabled,
                  Logic().MenuItem(item.name).enabled)
            << std::string(item.name.begin(), item.name.end());
    for (const auto& b : Logic().Buttons()) {
        const auto real = window->Commands().Button(b.index);
        EXPECT_EQ(real.enabled, b.enabled) << b.index;
        EXPECT_EQ(real.caption, b.caption) << b.index;
        EXPECT_EQ(real.key, b.key) << b.index;
    }
    Logic().SetProcess(kProcessIdle);
    EXPECT_FALSE(SendMessageW(Toolbar(), TB_ISBUTTONENABLED, ButtonId(6), 0));
}

TEST_F(RealMainWindow, ShortcutsRunTheCommandsOfTheirEnabledMenuItems) {
    PressKey('N', true);
    PressKey('O', true);
    PressKey('S', true);     // Save is disabled
    PressKey(VK_F5, false);  // so is Re-Prowl
    PressKey('N', false);    // a plain N is no shortcut
    EXPECT_EQ(log.ran, (std::vector<std::wstring>{L"New", L"Open"}));
    Logic().EnableSave(true);
    Logic().EnableReprowl(true);
    PressKey('S', true);
    PressKey(VK_F5, false);
    EXPECT_EQ(log.ran, (std::vector<std::wstring>{L"New", L"Open", L"Save", L"Re-Prowl"}));
}

TEST_F(RealMainWindow, CommandsArrivingWhileWorkProcessesMessagesOnlyBeep) {
    // Work looks at the queue at most every few milliseconds; the pauses make sure it does.
    ClickButton(1);
    Sleep(20);
    Logic().StatusBar_Update(kPanelAction, L"Scanning");  // processes the click meanwhile
    PostMessageW(Main(), WM_CLOSE, 0, 0);
    Sleep(20);
    Logic().ProgressBar_Increment(1);
    EXPECT_TRUE(log.ran.empty());
    EXPECT_NE(Main(), nullptr) << "closing is refused as well";

    ClickButton(1);
    window->DispatchPendingMessages();
    EXPECT_EQ(log.ran, std::vector<std::wstring>{L"New"});
    Logic().OnMenuClick(L"mnuFileExit");
    EXPECT_EQ(Main(), nullptr);
}

TEST_F(RealMainWindow, StatusTextsAreAllTakenButRepaintedAtMostEveryFewTensOfMilliseconds) {
    HWND action = nullptr;
    for (HWND h = FindWindowExW(Main(), nullptr, STATUSCLASSNAMEW, nullptr); h;
         h = FindWindowExW(Main(), h, STATUSCLASSNAMEW, nullptr))
        if (GetWindowLongPtrW(h, GWL_STYLE) & SBARS_SIZEGRIP) action = h;
    ASSERT_NE(action, nullptr);

    constexpr int kTexts = 20000;
    const uint64_t flushesBefore = window->Panels().FlushCount();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 1; i <= kTexts; ++i)
        Logic().StatusBar_Update(kPanelAction, L"Scanning folder " + std::to_wstring(i));
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart;
    const uint64_t repaints = window->Panels().FlushCount() - flushesBefore;
    std::printf("%d status updates through the real panel: %.1f ms, %.2f us each, %llu repaints\n",
                kTexts, ms, 1000.0 * ms / kTexts, static_cast<unsigned long long>(repaints));
    RecordProperty("microseconds_per_status_update", std::to_string(1000.0 * ms / kTexts));

    EXPECT_LE(repaints, static_cast<uint64_t>(ms / win32::kRepaintInterval) + 2);
    EXPECT_EQ(Logic().PanelText(kPanelAction), L"Scanning folder 20000");

    // The last text reaches the screen without any further call.
    Sleep(2 * win32::kRepaintInterval);
    window->DispatchPendingMessages();
    wchar_t shown[64] = {};
    SendMessageW(action, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"Scanning folder 20000");
}

TEST_F(RealMainWindow, ProgressBarShowsOverTheActionPanelAndKeepsItsValueWhenHidden) {
    HWND progress = nullptr;
    for (HWND h = FindWindowExW(Main(), nullptr, STATUSCLASSNAMEW, nullptr); h && !progress;
         h = FindWindowExW(Main(), h, STATUSCLASSNAMEW, nullptr))
        progress = FindWindowExW(h, nullptr, PROGRESS_CLASSW, nullptr);
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(IsWindowVisible(progress));
    Logic().ProgressBar_Show(true, 10);
    for (int i = 0; i < 3; ++i) Logic().ProgressBar_Increment(4);
    EXPECT_TRUE(IsWindowVisible(progress));
    const auto shown = window->Panels().State();
    EXPECT_EQ(shown.value, 10.0f);
    EXPECT_EQ(shown.maximum, 10.0f);
    Logic().ProgressBar_Show(false, 99);
    EXPECT_FALSE(IsWindowVisible(progress));
    EXPECT_EQ(SendMessageW(progress, PBM_GETPOS, 0, 0), 10);
    EXPECT_EQ(SendMessageW(progress, PBM_GETRANGE, FALSE, 0), 10);
}

TEST_F(RealMainWindow, TheTreeTakesTheRoomAsTheWindowGrowsAndThePanelsStayAtTheBottom) {
    HWND tree = window->Tree().Handle();
    HWND path = window->FilePathBox();
    auto check = [&](int width, int height) {
        SetWindowPos(Main(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        RECT client;
        GetClientRect(Main(), &client);
        RECT t = Rect(tree), p = Rect(path), tb = Rect(Toolbar());
        EXPECT_GE(t.top, tb.bottom);
        EXPECT_LT(t.bottom, p.top);
        int lowest = 0;
        for (HWND h = FindWindowExW(Main(), nullptr, STATUSCLASSNAMEW, nullptr); h;
             h = FindWindowExW(Main(), h, STATUSCLASSNAMEW, nullptr)) {
            RECT s = Rect(h);
            EXPECT_GT(s.top, p.bottom);
            EXPECT_EQ(s.right, client.right);
            lowest = std::max<int>(lowest, s.bottom);
        }
        EXPECT_EQ(lowest, client.bottom);
        return t;
    };
    RECT small = check(500, 450);
    RECT large = check(800, 850);
    EXPECT_EQ((large.bottom - large.top) - (small.bottom - small.top), 400);
    EXPECT_EQ((large.right - large.left) - (small.right - small.left), 300);
}

TEST_F(RealMainWindow, ThePathBoxShowsThePathAndTakesNoTyping) {
    Logic().SetFilePath(L"C:\\Windows\\System32\\x.ocx [File Not Found]");
    HWND path = window->FilePathBox();
    SetFocus(path);
    PostMessageW(path, WM_KEYDOWN, VK_DELETE, 0);
    PostMessageW(path, WM_CHAR, L'x', 0);
    window->DispatchPendingMessages();
    wchar_t text[128] = {};
    GetWindowTextW(path, text, 128);
    EXPECT_STREQ(text, L"C:\\Windows\\System32\\x.ocx [File Not Found]");
}

TEST_F(RealMainWindow, BusyPointersShowOverTheWindow) {
    const struct {
        int32_t pointer;
        LPCWSTR cursor;
    } cases[] = {{kPointerHourglass, IDC_WAIT},
                 {kPointerArrowHourglass, IDC_APPSTARTING},
                 {kPointerArrow, IDC_ARROW}};
    for (const auto& c : cases) {
        Logic().SetPointer(c.pointer);
        SendMessageW(window->Tree().Handle(), WM_SETCURSOR,
                     reinterpret_cast<WPARAM>(window->Tree().Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, c.cursor)) << c.pointer;
    }
}

TEST_F(RealMainWindow, ScreenshotWithEveryTreeImage) {
    auto& tree = window->Tree();
    tree.Add(L"", L"K0", L"Active X Controls (C:\\Tools)");
    tree.SetImage(1, L"A");
    tree.SetBold(1, true);
    tree.SetChecked(1, true);
    const wchar_t* rows[][3] = {
        {L"K1", L"Controls", L"A"}, {L"K2", L"grid32.ocx", L"C"}, {L"K3", L"helper.dll", L"B"},
        {L"K4", L"Old", L"D"},      {L"K5", L"gone.dll", L"E"},   {L"K6", L"lost.ocx", L"F"},
    };
    for (const auto& r : rows) {
        const int32_t node = tree.Add(L"K0", r[0], r[1]);
        tree.SetImage(node, r[2]);
        tree.SetChecked(node, node % 2 == 0);
    }
    tree.SetExpanded(1, true);
    Logic().SetFilePath(L"C:\\Tools\\helper.dll");
    Logic().StatusBar_Update(kPanelSourceFile, L"");
    Logic().StatusBar_Update(kPanelAction, L"Saving project");
    Logic().ProgressBar_Show(true, 10);
    Logic().ProgressBar_Increment(6);
    window->Panels().Flush();
    RedrawWindow(Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    window->DispatchPendingMessages();
    CreateDirectoryW(gui_test::WindowsPath(PROWL_TEST_OUTPUT).c_str(), nullptr);
    EXPECT_TRUE(gui_test::SaveWindowPng(
        Main(), gui_test::WindowsPath(PROWL_TEST_OUTPUT "/main-window-tree.png")));
}

}  // namespace
}  // namespace prowl
