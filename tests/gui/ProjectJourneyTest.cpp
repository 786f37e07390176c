// A user's everyday journey through the real program, by real input from the X server: a new
// project chosen in the chooser, one file unticked, saved through the real Save dialog, the
// program closed and started again, the file opened through the real Open dialog.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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

void ClickWindow(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    Click(hwnd, rc);
}

struct Program {
    explicit Program(const std::wstring& folder = L"") : child(Exe(), folder) {
        main = gui_test::WaitForWindow(child.Id(), L"ActiveX Prowl", 20000);
        tree = FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr);
        source = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);  // SBSourceFile
        RECT a, b;
        GetWindowRect(source, &a);
        GetWindowRect(FindWindowExW(main, source, STATUSCLASSNAMEW, nullptr), &b);
        if (a.top > b.top) source = FindWindowExW(main, source, STATUSCLASSNAMEW, nullptr);
    }
    static std::wstring Exe() {
        std::wstring exe = L"Z:" + std::wstring(PROWL_EXE, PROWL_EXE + sizeof(PROWL_EXE) - 1);
        std::replace(exe.begin(), exe.end(), L'/', L'\\');
        return exe;
    }
    // Keys to the window through its tree, which a click at its empty foot focuses.
    void Keys(const std::wstring& keys) {
        RECT rc;
        GetClientRect(tree, &rc);
        Click(tree, RECT{rc.left, rc.bottom - 10, rc.left + 10, rc.bottom - 4});
        RunXdotool(L"key --delay 100 " + keys);
    }
    HWND Dialog(const wchar_t* caption) {
        return gui_test::WaitForWindow(child.Id(), caption, 10000);
    }
    // Types a full file name into the common dialog and presses Enter.
    void EnterFileName(const wchar_t* caption, const std::wstring& name, const char* picture) {
        HWND dialog = Dialog(caption);
        ASSERT_NE(dialog, nullptr) << "no dialog " << test::ToUtf8(caption);
        HWND edit = GetDlgItem(dialog, 0x480);  // edt1, or the combo box cmb13 around it
        ClickWindow(edit ? edit : GetDlgItem(dialog, 0x47c));
        RunXdotool(L"key ctrl+a type --delay 5 " + name);
        Sleep(500);  // drawn
        gui_test::SaveScreenshot(dialog, picture);
        RunXdotool(L"key Return");
    }

    gui_test::ChildProcess child;
    HWND main, tree, source;
};

TEST(Journey, NewUntickSaveCloseAndOpenAgain) {
    test::TempTree temp;
    for (const auto* file :
         {L"journey\\proj\\a.dll", L"journey\\proj\\sub\\b.ocx", L"journey\\proj\\x.txt"})
        temp.File(file);
    const std::wstring project = temp.Path(L"journey\\proj"), saved = temp.Path(L"mine.PRW");
    {
        Program first(temp.Path(L"journey"));
        ASSERT_NE(first.main, nullptr);
        first.Keys(L"ctrl+n");
        HWND chooser = first.Dialog(L"ActiveX Prowl - Choose Start Path");
        ASSERT_NE(chooser, nullptr);
        EXPECT_FALSE(IsWindowEnabled(first.main)) << "the chooser is modal to the main window";
        HWND list = FindWindowExW(chooser, nullptr, WC_LISTBOXW, nullptr);
        const auto height = static_cast<LONG>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        for (LRESULT i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t entry[256] = {};
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
            const LONG top = static_cast<LONG>(i - SendMessageW(list, LB_GETTOPINDEX, 0, 0));
            if (std::wstring(entry).find(L"proj") != std::wstring::npos)
                Click(list, RECT{0, top * height, 60, (top + 1) * height}, 2);
        }
        gui_test::SaveScreenshot(chooser, "journey-chooser");
        ClickWindow(FindWindowExW(chooser, nullptr, WC_BUTTONW, L"&OK"));
        ASSERT_TRUE(Until([&] {
            return Text(first.source) == L"Source File: ** New ActiveX Prowl File **";
        })) << test::ToUtf8(Text(first.source));

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
        ASSERT_TRUE(Until([&] { return Text(first.source) == L"Source File: " + saved; }));
        gui_test::SaveScreenshot(first.main, "journey-saved");
        const std::string p = test::Narrow(project);
        EXPECT_EQ(temp.Read(L"mine.PRW"), p + "\r\n1\tK1\t1\t0\t" + p +
                                              "\tK0\tPROJ\t1\t1\r\n2\tK2\t2\t1\t" + p +
                                              "\\a.dll\tK1\ta.dll\t0\t0\r\n3\tK3\t1\t1\t" + p +
                                              "\\sub\tK1\tSUB\t1\t0\r\n4\tK4\t3\t3\t" + p +
                                              "\\sub\\b.ocx\tK3\tb.ocx\t1\t0");
        RECT box;  // the close box at the right of the caption
        GetWindowRect(first.main, &box);
        box.left = box.right - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSIZE) / 2;
        box.top += GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
        Click(nullptr, RECT{box.left, box.top, box.left, box.top});
        EXPECT_EQ(first.child.WaitForExit(10000), std::optional<DWORD>(0)) << "closed at once";
    }
    Program second;
    ASSERT_NE(second.main, nullptr);
    second.Keys(L"ctrl+o");
    second.EnterFileName(L"Open ActiveX Prowl Save File", saved, "journey-open");
    ASSERT_TRUE(Until([&] { return Text(second.source) == L"Source File: " + saved; }));
    gui_test::SaveScreenshot(second.main, "journey-opened");

    // Nothing unsaved: the end of the session ends the program.
    DWORD_PTR agreed = 0;
    SendMessageTimeoutW(second.main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &agreed);
    EXPECT_EQ(agreed, TRUE);
    SendMessageTimeoutW(second.main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &agreed);
    EXPECT_EQ(second.child.WaitForExit(10000), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace prowl
