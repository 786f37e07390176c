// The real program, started as a user starts it: its window with the start texts, and the
// refusal of a second copy.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "support/TempTree.h"

namespace prowl {
namespace {

using gui_test::ChildProcess;
using gui_test::Text;
using gui_test::WaitForWindow;

std::wstring Exe() {
    std::wstring exe = L"Z:" + std::wstring(PROWL_EXE, PROWL_EXE + sizeof(PROWL_EXE) - 1);
    for (auto& c : exe)
        if (c == L'/') c = L'\\';
    return exe;
}

// The status bars' texts, top to bottom: SBSourceFile, SBAction.
std::vector<std::wstring> Bars(HWND main) {
    std::map<LONG, std::wstring> bars;  // by top
    RECT rc;
    for (HWND h = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr); h;
         h = FindWindowExW(main, h, STATUSCLASSNAMEW, nullptr))
        bars[GetWindowRect(h, &rc) ? rc.top : 0] = Text(h);
    std::vector<std::wstring> texts;
    for (const auto& bar : bars) texts.push_back(bar.second);
    return texts;
}

// A second copy shows its message, and nothing else, and ends when it is dismissed.
void SecondCopyShowsItsMessage() {
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
}

// Started plainly it is ready and refuses a second copy. A project named on the command line
// (as a file association starts the program) is open once the window shows; one that is missing
// or is not a project gives the error message after the window appears, and the program goes on
// with no project.
TEST(Program, OpensWhatItIsStartedWithAndASecondCopyShowsItsMessage) {
    test::TempTree temp;
    const std::string p = test::Narrow(temp.Path(L"proj"));
    temp.File(L"tools.prw", p + "\r\n1\tK1\t1\t0\t" + p + "\tK0\tPROJ\t1\t1\r\n2\tK2\t2\t1\t" + p +
                                "\\a.dll\tK1\ta.dll\t1\t0");
    temp.File(L"junk.prw", std::string("MZ\x90\0\x03\0\0\0\x04", 9));
    const struct {
        std::wstring file;
        bool opens;
    } cases[] = {{L"", false}, {L"tools.prw", true}, {L"missing.prw", false}, {L"junk.prw", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::wstring path = temp.Path(c.file);
        ChildProcess program(Exe(), L"", c.file.empty() ? L"" : L"\"" + path + L"\"");
        HWND main = WaitForWindow(program.Id(), L"ActiveX Prowl", 20000);
        ASSERT_NE(main, nullptr) << "no window captioned ActiveX Prowl";
        if (!c.opens && !c.file.empty()) {
            HWND box = WaitForWindow(program.Id(), L"ActiveX Prowl - File Error", 20000);
            ASSERT_NE(box, nullptr) << "no error message";
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        HWND tree = FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr);
        const std::wstring source = L"Source File: " + (c.opens ? path : L"None");
        gui_test::Until([&] { return Bars(main).at(0) == source; });
        EXPECT_EQ(Bars(main).at(0), source);
        EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), c.opens ? 3 : 0);  // the start folder too
        if (c.file.empty()) {
            EXPECT_EQ(Bars(main).at(1), L"Ready");
            gui_test::SaveScreenshot(main, "main-window");
            SecondCopyShowsItsMessage();
        }
        DWORD_PTR answer = 0;
        EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
            << "the program no longer answers";
        EXPECT_FALSE(program.WaitForExit(0).has_value());
    }
}

}  // namespace
}  // namespace prowl
