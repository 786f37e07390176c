// The project tree in the real main window, driven by real mouse and keyboard input from the
// X server (xdotool), as a user drives it.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "GuiTestSupport.h"
#include "scan/PathScanner.h"
#include "support/TempTree.h"
#include "ui/MainWindowLogic.h"
#include "win32/FileSystem_win.h"
#include "win32/MainWindow_win.h"

namespace prowl {
namespace {

// Real input goes through the X server; its effect shows once the window has taken the
// messages it caused.
bool Xdotool(win32::MainWindow& window, const std::wstring& arguments,
             const std::function<bool()>& done) {
    test::RunUnix(L"/usr/bin/xdotool", arguments);
    for (int i = 0; i < 200 && !done(); ++i) {
        window.DispatchPendingMessages();
        Sleep(10);
    }
    return done();
}

TEST(ProjectTreeInTheWindow, RealClicksAndKeysReachTheRecords) {
    test::TempTree temp;
    for (const auto* file : {L"Tools\\a.dll", L"Tools\\b.ocx", L"Tools\\Sub\\c.ocx",
                             L"Tools\\Sub\\Deep\\d.dll", L"Tools\\Other\\e.dll"})
        temp.File(file);
    gui_test::InitControls();
    ProjectState state;
    auto window = win32::MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOWNORMAL);
    SetWindowPos(window->Handle(), HWND_TOP, 20, 20, 560, 620, SWP_SHOWWINDOW);
    MainWindowLogic& logic = window->Logic();
    win32::Win32TreeView& tree = window->Tree();
    logic.SetProcess(kProcessNewScan);
    win32::Win32FileSystem files;
    PathScanner(state, files, logic).ScanProjectPath(temp.Path(L"Tools"));
    logic.ProjectTree().BuildProjectTree(*state.DigColl);
    logic.SetProcess(kProcessIdle);
    auto record = [&](int32_t position) -> clsObject& { return *state.DigColl->Item(position); };
    // "mousemove x y click 1" on the node's check box, button or label.
    auto click = [&](int32_t node, UINT part) {
        window->DispatchPendingMessages();  // the control as drawn
        HTREEITEM item = tree.ShownItem(node);
        RECT text{};
        TreeView_GetItemRect(tree.Handle(), item, &text, TRUE);
        POINT pt{(text.left + text.right) / 2, (text.top + text.bottom) / 2};
        for (int x = 0; part != TVHT_ONITEMLABEL && x < text.left; ++x) {
            TVHITTESTINFO hit{{x, pt.y}, 0, nullptr};
            TreeView_HitTest(tree.Handle(), &hit);
            if (hit.hItem == item && (hit.flags & part)) {
                pt.x = x + 3;
                break;
            }
        }
        ClientToScreen(tree.Handle(), &pt);
        return L"mousemove " + std::to_wstring(pt.x) + L" " + std::to_wstring(pt.y) + L" click 1";
    };
    // F2 on the selected node, the text typed, then Enter: true when each step took.
    auto rename = [&](const std::wstring& text) {
        auto editing = [&] {
            wchar_t buffer[64] = L"(none)";
            if (HWND edit = TreeView_GetEditControl(tree.Handle()))
                GetWindowTextW(edit, buffer, 64);
            return std::wstring(buffer);
        };
        return Xdotool(*window, L"key F2", [&] { return editing() != L"(none)"; }) &&
               Xdotool(*window, L"type --delay 10 " + text, [&] { return editing() == text; }) &&
               Xdotool(*window, L"key Return", [&] { return editing() == L"(none)"; });
    };

    // Scanned: 1 TOOLS, 2 a.dll, 3 b.ocx, 4 OTHER, 5 e.dll, 6 SUB, 7 c.ocx, 8 DEEP, 9 d.dll
    ASSERT_EQ(state.DigColl->Count(), 9);
    ASSERT_EQ(record(6).Text, L"SUB");
    EXPECT_EQ(tree.Text(1), L"Active X Controls (" + temp.Path(L"Tools") + L")");
    for (int32_t node : {2, 7})  // TOOLS, then SUB inside it
        EXPECT_TRUE(Xdotool(*window, click(node, TVHT_ONITEMBUTTON),
                            [&] { return record(node - 1).Expanded == L"1"; }));
    EXPECT_TRUE(Xdotool(*window, click(7, TVHT_ONITEMSTATEICON),
                        [&] { return record(6).Included == L"0"; }));
    EXPECT_EQ(record(1).Included + record(7).Included + record(8).Included + record(9).Included,
              L"1000");
    EXPECT_TRUE(logic.MenuItem(L"mnuFileSave").enabled);

    EXPECT_TRUE(Xdotool(*window, click(3, TVHT_ONITEMLABEL),
                        [&] { return logic.ProjectTree().SelectedNodeIndex() == 3; }));
    EXPECT_EQ(logic.FilePath(), temp.Path(L"Tools\\a.dll"));
    EXPECT_TRUE(rename(L"Renamed.dll"));
    EXPECT_EQ(record(2).Text + L" " + tree.Text(3), L"Renamed.dll Renamed.dll");

    // Every picture, as a project opened after some of its items went missing shows them.
    for (int32_t p : {3, 4, 5}) record(p).Exists = false;
    record(6).Expanded = L"1";
    logic.ProjectTree().BuildProjectTree(*state.DigColl);
    Xdotool(*window, L"sleep 0.2", [] { return false; });
    gui_test::SaveScreenshot(window->Handle(), "project-tree");
}

}  // namespace
}  // namespace prowl
