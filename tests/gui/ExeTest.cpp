// The real program, started as a user starts it: its window, its start state as the
// controls themselves report it, and the refusal of a second copy.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiTestSupport.h"

namespace prowl {
namespace {

using gui_test::ChildProcess;
using gui_test::RemoteBuffer;
using gui_test::WaitForWindow;

const wchar_t kCaption[] = L"ActiveX Prowl";

std::wstring Exe() { return gui_test::WindowsPath(PROWL_EXE); }

struct Button {
    bool separator;
    std::wstring caption;
    std::wstring tooltip;
    bool enabled;
    int image;  // 1-based
};

std::vector<Button> ReadToolbar(HANDLE process, HWND toolbar) {
    std::vector<Button> buttons;
    RemoteBuffer remote(process, 4096);
    const auto count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    HWND tips = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON tb{};
        SendMessageW(toolbar, TB_GETBUTTON, i, remote.Address());
        remote.Read(&tb, sizeof(tb));
        Button b{(tb.fsStyle & BTNS_SEP) != 0, L"", L"", (tb.fsState & TBSTATE_ENABLED) != 0,
                 tb.iBitmap + 1};
        if (!b.separator) {
            wchar_t text[256] = {};
            SendMessageW(toolbar, TB_GETBUTTONTEXTW, tb.idCommand, remote.Address());
            remote.Read(text, sizeof(text) - sizeof(wchar_t));
            b.caption = text;
            // The tooltip asks the window for the text, as it does when the pointer rests.
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.hwnd = toolbar;
            tool.uId = static_cast<UINT_PTR>(tb.idCommand);
            tool.lpszText = reinterpret_cast<wchar_t*>(remote.Address() + 1024);
            remote.Write(&tool, sizeof(tool));
            wchar_t empty[1] = {};
            remote.Write(empty, sizeof(empty), 1024);
            SendMessageW(tips, TTM_GETTEXTW, 256, remote.Address());
            wchar_t tip[256] = {};
            remote.Read(tip, sizeof(tip) - sizeof(wchar_t), 1024);
            b.tooltip = tip;
        }
        buttons.push_back(b);
    }
    return buttons;
}

std::wstring StatusText(HANDLE process, HWND bar) {
    RemoteBuffer remote(process, 4096);
    SendMessageW(bar, SB_GETTEXTW, 0, remote.Address());
    wchar_t text[1024] = {};
    remote.Read(text, sizeof(text) - sizeof(wchar_t));
    return text;
}

TEST(Program, StartsWithEveryControlInItsStartState) {
    ChildProcess program(Exe());
    ASSERT_TRUE(program.Started()) << "cannot start " << std::string(PROWL_EXE);
    HWND main = WaitForWindow(program.Id(), nullptr, kCaption, 20000);
    ASSERT_NE(main, nullptr) << "no window captioned ActiveX Prowl";

    // Wine cannot read another process's menus; MainWindowTest reads the same menus in-process.
    EXPECT_NE(GetMenu(main), nullptr);
    HWND toolbar = FindWindowExW(main, nullptr, TOOLBARCLASSNAMEW, nullptr);
    ASSERT_NE(toolbar, nullptr);
    const std::vector<Button> expected = {
        {false, L"New", L"New Project", true, 1},
        {false, L"Open", L"Open Project", true, 2},
        {false, L"Save", L"Save Project", false, 3},
        {false, L"Re-Prowl", L"Search for new ActiveX objects within project path", false, 4},
        {true, L"", L"", true, 0},
        {false, L"Stop", L"Stop Current Process", false, 5},
    };
    const auto buttons = ReadToolbar(program.Handle(), toolbar);
    ASSERT_EQ(buttons.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(buttons[i].separator, expected[i].separator);
        if (expected[i].separator) continue;
        EXPECT_EQ(buttons[i].caption, expected[i].caption);
        EXPECT_EQ(buttons[i].tooltip, expected[i].tooltip);
        EXPECT_EQ(buttons[i].enabled, expected[i].enabled);
        EXPECT_EQ(buttons[i].image, expected[i].image);
    }

    // Top to bottom: SBSourceFile above SBAction.
    HWND first = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
    HWND second = FindWindowExW(main, first, STATUSCLASSNAMEW, nullptr);
    ASSERT_TRUE(first && second);
    RECT a, b;
    GetWindowRect(first, &a);
    GetWindowRect(second, &b);
    HWND sourceFile = a.top < b.top ? first : second;
    HWND action = a.top < b.top ? second : first;
    EXPECT_EQ(StatusText(program.Handle(), sourceFile), L"Source File: None");
    EXPECT_EQ(StatusText(program.Handle(), action), L"Ready");
    HWND progress = FindWindowExW(action, nullptr, PROGRESS_CLASSW, nullptr);
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(IsWindowVisible(progress));

    HWND tree = FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(GetWindowLongPtrW(tree, GWL_STYLE) & TVS_CHECKBOXES);
    EXPECT_TRUE(GetWindowLongPtrW(tree, GWL_STYLE) & TVS_EDITLABELS);
    HWND path = FindWindowExW(main, nullptr, WC_EDITW, nullptr);
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(GetWindowTextLengthW(path), 0);
    EXPECT_TRUE(GetWindowLongPtrW(path, GWL_STYLE) & ES_READONLY);

    CreateDirectoryW(gui_test::WindowsPath(PROWL_TEST_OUTPUT).c_str(), nullptr);
    EXPECT_TRUE(
        gui_test::SaveWindowPng(main, gui_test::WindowsPath(PROWL_TEST_OUTPUT "/main-window.png")));
}

TEST(Program, ASecondCopyShowsItsMessageAndLeavesTheFirstRunning) {
    ChildProcess first(Exe());
    ASSERT_TRUE(first.Started());
    HWND main = WaitForWindow(first.Id(), nullptr, kCaption, 20000);
    ASSERT_NE(main, nullptr);

    ChildProcess second(Exe());
    ASSERT_TRUE(second.Started());
    HWND box = WaitForWindow(second.Id(), nullptr, L"ActiveX Prowl - Previous Instance", 20000);
    ASSERT_NE(box, nullptr) << "no message from the second copy";
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);  // the message text of a message box
    EXPECT_STREQ(text, L"A previous instance of ActiveX Prowl is already running.");
    std::vector<std::wstring> buttons;
    for (HWND b = FindWindowExW(box, nullptr, WC_BUTTONW, nullptr); b;
         b = FindWindowExW(box, b, WC_BUTTONW, nullptr)) {
        if (!IsWindowVisible(b)) continue;
        wchar_t caption[64] = {};
        GetWindowTextW(b, caption, 64);
        buttons.push_back(caption);
    }
    EXPECT_EQ(buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(WaitForWindow(second.Id(), nullptr, kCaption, 0), nullptr)
        << "the second copy must not show its window";

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.WaitForExit(10000), std::optional<DWORD>(0));

    EXPECT_EQ(WaitForWindow(first.Id(), nullptr, kCaption, 0), main);
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
        << "the first copy no longer answers";
    EXPECT_FALSE(first.WaitForExit(0).has_value());
}

}  // namespace
}  // namespace prowl
