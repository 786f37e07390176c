// A user's everyday journey through the real program, by real input from the X server: a second
// copy refused, a new project chosen in the chooser, one file unticked, saved through the real
// Save dialog, the program closed; started again, the saved file opened through the real Open
// dialog; started a third time with the saved file to open.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "support/TempTree.h"

namespace prowl {
namespace {

using gui_test::RunXdotool;
using gui_test::Text;
using gui_test::Until;

// One copy of the program and its main window, ended whatever happens to the test.
struct Program {
    explicit Program(const std::wstring& folder = L"", const std::wstring& arguments = L"") {
        std::wstring command = L"\"Z:" PROWL_EXE "\" " + arguments;  // Z: is /
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &si, &process);
        main = Dialog(L"ActiveX Prowl");  // a second copy finds the first's
        tree = FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr);
        source = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);  // SBSourceFile
    }
    ~Program() {
        TerminateProcess(process.hProcess, 99);  // one that has ended keeps its own exit code
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    // The exit code once it has ended, STILL_ACTIVE if it has not within ten seconds.
    DWORD ExitCode() {
        DWORD code = 0;
        WaitForSingleObject(process.hProcess, 10000);
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
    // The window of that caption (the test shows none, and one copy runs at a time), once shown.
    static HWND Dialog(const wchar_t* caption) {
        HWND found = nullptr;
        Until([&] { return (found = FindWindowW(nullptr, caption)) && IsWindowVisible(found); },
              nullptr, 20000);
        return found;
    }
    // Types a full file name into the common dialog, where the focus is, and presses Enter.
    void EnterFileName(const wchar_t* caption, const std::wstring& name) {
        HWND dialog = Dialog(caption);
        ASSERT_NE(dialog, nullptr) << "no dialog " << test::ToUtf8(caption);
        // cmb1 shows the filter's description alone: its pattern came apart by a NUL.
        EXPECT_EQ(gui_test::Text(GetDlgItem(dialog, 0x470)), L"ActiveX Prowl Files (*.PRW)");
        RunXdotool(L"key ctrl+a type --delay 5 " + name);
        Sleep(500);  // the dialog has taken the name before Enter
        RunXdotool(L"key Return");
    }
    bool Shows(const std::wstring& file) {
        return Until([&] { return Text(source) == L"Source File: " + file; });
    }

    PROCESS_INFORMATION process{};
    HWND main = nullptr, tree = nullptr, source = nullptr;
};

TEST(Journey, NewUntickSaveCloseAndOpenAgain) {
    test::TempTree temp;
    for (const auto* file : {L"journey\\proj\\a.dll", L"journey\\proj\\sub\\b.ocx"})
        temp.File(file);
    const std::wstring project = temp.Path(L"journey\\proj"), saved = temp.Path(L"mine.PRW");
    {
        Program first(temp.Path(L"journey"));
        ASSERT_NE(first.main, nullptr);
        HWND action = FindWindowExW(first.main, first.source, STATUSCLASSNAMEW, nullptr);
        EXPECT_EQ(Text(first.source) + L"|" + Text(action), L"Source File: None|Ready");
        {  // A second copy shows its message, and nothing else, and ends when it is dismissed.
            Program copy;
            HWND box = copy.Dialog(L"ActiveX Prowl - Previous Instance");
            EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)) +
                          (IsWindowVisible(GetDlgItem(box, IDCANCEL)) ? L"|Cancel" : L""),
                      L"A previous instance of ActiveX Prowl is already running.");
            EXPECT_EQ(FindWindowW(nullptr, L"ActiveX Prowl"), first.main) << "a second window";
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            EXPECT_EQ(copy.ExitCode(), 0u);
        }
        RunXdotool(L"key ctrl+n");  // to the window, which has the focus
        HWND chooser = first.Dialog(L"ActiveX Prowl - Choose Start Path");
        EXPECT_FALSE(IsWindowEnabled(first.main)) << "the chooser is modal to the main window";
        // The folder below the one it opens in, the list's last (after the drives, which have the
        // focus), highlighted and opened by keys.
        RunXdotool(L"key --delay 100 Tab End Return");
        HWND ok = FindWindowExW(chooser, nullptr, WC_BUTTONW, L"&OK");
        Until([&] { return IsWindowEnabled(ok); });
        RunXdotool(L"key alt+o");
        ASSERT_TRUE(first.Shows(L"** New ActiveX Prowl File **"));

        // PROJ, below the root, clicked on its label and opened; its a.dll unticked; saved.
        const auto row = static_cast<LONG>(SendMessageW(first.tree, TVM_GETITEMHEIGHT, 0, 0));
        const auto indent = static_cast<LONG>(SendMessageW(first.tree, TVM_GETINDENT, 0, 0));
        gui_test::Click(first.tree, RECT{2 * indent + 40, row, 2 * indent + 40, 2 * row});
        Until([&] { return TreeView_GetSelection(first.tree) != nullptr; });
        RunXdotool(L"key --delay 100 Right Down space");
        ASSERT_TRUE(Until([&] {  // the box cleared, and a moment for its report to arrive
            const auto item = TreeView_GetSelection(first.tree);
            return TreeView_GetItemState(first.tree, item, TVIS_STATEIMAGEMASK) >> 12 == 1;
        }));
        Sleep(500);
        RunXdotool(L"key ctrl+s");
        first.EnterFileName(L"Save ActiveX Objects", saved);
        ASSERT_TRUE(first.Shows(saved));
        const std::string p = test::Narrow(project);
        EXPECT_EQ(temp.Read(L"mine.PRW"), p + "\r\n1\tK1\t1\t0\t" + p +
                                              "\tK0\tPROJ\t1\t1\r\n2\tK2\t2\t1\t" + p +
                                              "\\a.dll\tK1\ta.dll\t0\t0\r\n3\tK3\t1\t1\t" + p +
                                              "\\sub\tK1\tSUB\t1\t0\r\n4\tK4\t3\t3\t" + p +
                                              "\\sub\\b.ocx\tK3\tb.ocx\t1\t0");
        PostMessageW(first.main, WM_CLOSE, 0, 0);
        EXPECT_EQ(first.ExitCode(), 0u) << "closed at once";
    }
    {
        Program second;
        RunXdotool(L"key ctrl+o");
        second.EnterFileName(L"Open ActiveX Prowl Save File", saved);
        ASSERT_TRUE(second.Shows(saved));

        // Nothing unsaved: the end of the session ends the program.
        DWORD_PTR agreed = 0;
        SendMessageTimeoutW(second.main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &agreed);
        EXPECT_EQ(agreed, TRUE);
        SendMessageTimeoutW(second.main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &agreed);
        EXPECT_EQ(second.ExitCode(), 0u);
    }
    // A project named on the command line, as a file association starts the program.
    EXPECT_TRUE(Program(L"", L"\"" + saved + L"\"").Shows(saved));
}

}  // namespace
}  // namespace prowl
