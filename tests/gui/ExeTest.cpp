// The real program, started as a user starts it: its window with the start texts, and the
// refusal of a second copy.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiTestSupport.h"

namespace prowl {
namespace {

using gui_test::ChildProcess;
using gui_test::WaitForWindow;

std::wstring Exe() {
    std::wstring exe = L"Z:" + std::wstring(PROWL_EXE, PROWL_EXE + sizeof(PROWL_EXE) - 1);
    for (auto& c : exe)
        if (c == L'/') c = L'\\';
    return exe;
}

// WM_GETTEXT is the one text message the system carries between processes.
std::wstring Text(HWND hwnd) {
    wchar_t text[256] = {};
    SendMessageW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST(Program, StartsReadyAndASecondCopyShowsItsMessageAndLeavesTheFirstRunning) {
    ChildProcess first(Exe());
    ASSERT_NE(first.Id(), 0u) << "cannot start " << PROWL_EXE;
    HWND main = WaitForWindow(first.Id(), L"ActiveX Prowl", 20000);
    ASSERT_NE(main, nullptr) << "no window captioned ActiveX Prowl";
    std::vector<std::pair<LONG, std::wstring>> bars;  // top to bottom: SBSourceFile, SBAction
    for (HWND h = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr); h;
         h = FindWindowExW(main, h, STATUSCLASSNAMEW, nullptr)) {
        RECT rc;
        GetWindowRect(h, &rc);
        bars.emplace_back(rc.top, Text(h));
    }
    std::sort(bars.begin(), bars.end());
    EXPECT_EQ(bars, (std::vector<std::pair<LONG, std::wstring>>{
                        {bars.at(0).first, L"Source File: None"}, {bars.at(1).first, L"Ready"}}));
    gui_test::SaveScreenshot(main, "main-window");

    ChildProcess second(Exe());
    HWND box = WaitForWindow(second.Id(), L"ActiveX Prowl - Previous Instance", 20000);
    ASSERT_NE(box, nullptr) << "no message from the second copy";
    EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)),
              L"A previous instance of ActiveX Prowl is already running.");
    std::vector<std::wstring> buttons;
    for (HWND b = FindWindowExW(box, nullptr, WC_BUTTONW, nullptr); b;
         b = FindWindowExW(box, b, WC_BUTTONW, nullptr))
        if (IsWindowVisible(b)) buttons.push_back(Text(b));
    EXPECT_EQ(buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(WaitForWindow(second.Id(), L"ActiveX Prowl", 0), nullptr)
        << "the second copy must not show its window";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.WaitForExit(10000), std::optional<DWORD>(0));

    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
        << "the first copy no longer answers";
    EXPECT_FALSE(first.WaitForExit(0).has_value());
}

}  // namespace
}  // namespace prowl
