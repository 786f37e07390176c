// A user's everyday journey through the real program, by real input from the X server: a second
// copy refused, a new project chosen in the chooser, one file unticked, saved through the real
// Save dialog, the program closed; started again, the saved file opened through the real Open
// dialog; started a third time with the saved file to open.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "GuiTestSupport.h"
#include "support/TempTree.h"

namespace prowl {
namespace {

using gui_test::Click;
using gui_test::RunXdotool;
using gui_test::Text;
using gui_test::Until;

std::wstring Exe() {
    std::wstring exe = L"Z:" + std::wstring(PROWL_EXE, PROWL_EXE + sizeof(PROWL_EXE) - 1);
    std::replace(exe.begin(), exe.end(), L'/', L'\\');
    return exe;
}

void ClickWindow(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    Click(hwnd, rc);
}

struct Program {
    explicit Program(const std::wstring& folder = L"", const std::wstring& arguments = L"")
        : child(Exe(), folder, arguments) {
        main = Dialog(L"ActiveX Prowl");
        tree = FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr);
        source = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);  // SBSourceFile
        action = FindWindowExW(main, source, STATUSCLASSNAMEW, nullptr);   // SBAction
    }
    // Keys to the window through its tree, which a click at its empty foot focuses.
    void Keys(const std::wstring& keys) {
        RECT rc;
        GetClientRect(tree, &rc);
        Click(tree, RECT{rc.left, rc.bottom - 10, rc.left + 10, rc.bottom - 4});
        RunXdotool(L"key --delay 100 " + keys);
    }
    HWND Dialog(const wchar_t* caption) {
        return gui_test::WaitForWindow(child.Id(), caption, 20000);
    }
    // Types a full file name into the common dialog and presses Enter.
    void EnterFileName(const wchar_t* caption, const std::wstring& name, const char* picture) {
        HWND dialog = Dialog(caption);
        ASSERT_NE(dialog, nullptr) << "no dialog " << test::ToUtf8(caption);
        // cmb1 shows the filter's description alone: its pattern came apart by a NUL.
        EXPECT_EQ(gui_test::Text(GetDlgItem(dialog, 0x470)), L"ActiveX Prowl Files (*.PRW)");
        HWND edit = GetDlgItem(dialog, 0x480);  // edt1, or the combo box cmb13 around it
        ClickWindow(edit ? edit : GetDlgItem(dialog, 0x47c));
        RunXdotool(L"key ctrl+a type --delay 5 " + name);
        Sleep(500);  // drawn
        gui_test::SaveScreenshot(dialog, picture);
        RunXdotool(L"key Return");
    }
    bool Shows(const std::wstring& file) {
        return Until([&] { return Text(source) == L"Source File: " + file; });
    }

    gui_test::ChildProcess child;
    HWND main, tree, source, action;
};

TEST(Journey, NewUntickSaveCloseAndOpenAgain) {
    test::TempTree temp;
    for (const auto* file : {L"journey\\proj\\a.dll", L"journey\\proj\\sub\\b.ocx"})
        temp.File(file);
    const std::wstring project = temp.Path(L"journey\\proj"), saved = temp.Path(L"mine.PRW");
    {
        Program first(temp.Path(L"journey"));
        ASSERT_NE(first.main, nullptr);
        EXPECT_EQ(Text(first.source) + L"|" + Text(first.action), L"Source File: None|Ready");
        {  // A second copy shows its message, and nothing else, and ends when it is dismissed.
            gui_test::ChildProcess second(Exe());
            HWND box =
                gui_test::WaitForWindow(second.Id(), L"ActiveX Prowl - Previous Instance", 20000);
            EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)),
                      L"A previous instance of ActiveX Prowl is already running.");
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(box, IDOK)) &&
                        !IsWindowVisible(GetDlgItem(box, IDCANCEL)));
            EXPECT_EQ(gui_test::WaitForWindow(second.Id(), L"ActiveX Prowl", 0), nullptr)
                << "the second copy must not show its window";
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            EXPECT_EQ(second.WaitForExit(10000), std::optional<DWORD>(0));
        }
        first.Keys(L"ctrl+n");
        HWND chooser = first.Dialog(L"ActiveX Prowl - Choose Start Path");
        EXPECT_FALSE(IsWindowEnabled(first.main)) << "the chooser is modal to the main window";
        // The folder below the one it opens in, the list's last, highlighted and opened by keys.
        ClickWindow(FindWindowExW(chooser, nullptr, WC_LISTBOXW, nullptr));
        RunXdotool(L"key --delay 100 End Return");
        HWND ok = FindWindowExW(chooser, nullptr, WC_BUTTONW, L"&OK");
        Until([&] { return IsWindowEnabled(ok); });
        gui_test::SaveScreenshot(chooser, "journey-chooser");
        ClickWindow(ok);
        ASSERT_TRUE(first.Shows(L"** New ActiveX Prowl File **"));

        // PROJ, below the root, clicked on its label and opened; its a.dll unticked; saved.
        const auto row = static_cast<LONG>(SendMessageW(first.tree, TVM_GETITEMHEIGHT, 0, 0));
        const auto indent = static_cast<LONG>(SendMessageW(first.tree, TVM_GETINDENT, 0, 0));
        Click(first.tree, RECT{2 * indent + 40, row, 2 * indent + 40, 2 * row});
        RunXdotool(L"key --delay 100 Right Down space");
        ASSERT_TRUE(Until([&] {  // the box cleared, and a moment for its report to arrive
            const auto item = TreeView_GetSelection(first.tree);
            return TreeView_GetItemState(first.tree, item, TVIS_STATEIMAGEMASK) >> 12 == 1;
        }));
        Sleep(500);
        first.Keys(L"ctrl+s");
        first.EnterFileName(L"Save ActiveX Objects", saved, "journey-save");
        ASSERT_TRUE(first.Shows(saved));
        const std::string p = test::Narrow(project);
        EXPECT_EQ(temp.Read(L"mine.PRW"), p + "\r\n1\tK1\t1\t0\t" + p +
                                              "\tK0\tPROJ\t1\t1\r\n2\tK2\t2\t1\t" + p +
                                              "\\a.dll\tK1\ta.dll\t0\t0\r\n3\tK3\t1\t1\t" + p +
                                              "\\sub\tK1\tSUB\t1\t0\r\n4\tK4\t3\t3\t" + p +
                                              "\\sub\\b.ocx\tK3\tb.ocx\t1\t0");
        PostMessageW(first.main, WM_CLOSE, 0, 0);
        EXPECT_EQ(first.child.WaitForExit(10000), std::optional<DWORD>(0)) << "closed at once";
    }
    {
        Program second;
        second.Keys(L"ctrl+o");
        second.EnterFileName(L"Open ActiveX Prowl Save File", saved, "journey-open");
        ASSERT_TRUE(second.Shows(saved));

        // Nothing unsaved: the end of the session ends the program.
        DWORD_PTR agreed = 0;
        SendMessageTimeoutW(second.main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &agreed);
        EXPECT_EQ(agreed, TRUE);
        SendMessageTimeoutW(second.main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &agreed);
        EXPECT_EQ(second.child.WaitForExit(10000), std::optional<DWORD>(0));
    }
    // A project named on the command line, as a file association starts the program.
    EXPECT_TRUE(Program(L"", L"\"" + saved + L"\"").Shows(saved));
}

}  // namespace
}  // namespace prowl
