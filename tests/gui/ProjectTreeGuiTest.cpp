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

class ProjectTreeInTheWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const auto* file : {L"Tools\\a.dll", L"Tools\\b.ocx", L"Tools\\Sub\\c.ocx",
                                 L"Tools\\Sub\\Deep\\d.dll", L"Tools\\Other\\e.dll"})
            temp.File(file);
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        window = win32::MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOWNORMAL);
        SetWindowPos(window->Handle(), HWND_TOP, 20, 20, 560, 620, SWP_SHOWWINDOW);
        logic().SetProcess(kProcessNewScan);
        win32::Win32FileSystem files;
        PathScanner(state, files, logic()).ScanProjectPath(temp.Path(L"Tools"));
        logic().ProjectTree().BuildProjectTree(*state.DigColl);
        logic().SetProcess(kProcessIdle);
        Settle();
    }
    void TearDown() override { window.reset(); }
    MainWindowLogic& logic() { return window->Logic(); }
    win32::Win32TreeView& tree() { return window->Tree(); }
    const clsObject& Record(int32_t position) { return *state.DigColl->Item(position); }

    void Settle() {
        for (int i = 0; i < 5; ++i) {
            window->DispatchPendingMessages();
            Sleep(20);
        }
    }
    // Real input reaches the window through the X server; its effect shows once the
    // window has taken the messages it caused.
    bool Xdotool(const std::wstring& arguments, const std::function<bool()>& done) {
        test::RunUnix(L"/usr/bin/xdotool", arguments);
        for (int i = 0; i < 200 && !done(); ++i) {
            window->DispatchPendingMessages();
            Sleep(10);
        }
        return done();
    }
    // A screen point on the node's check box, button or label.
    POINT On(int32_t node, UINT part) {
        HTREEITEM item = tree().ShownItem(node);
        RECT text{};
        TreeView_GetItemRect(tree().Handle(), item, &text, TRUE);
        POINT pt{(text.left + text.right) / 2, (text.top + text.bottom) / 2};
        for (int x = 0; part != TVHT_ONITEMLABEL && x < text.left; ++x) {
            TVHITTESTINFO hit{{x, pt.y}, 0, nullptr};
            TreeView_HitTest(tree().Handle(), &hit);
            if (hit.hItem == item && (hit.flags & part)) {
                pt.x = x + 3;
                break;
            }
        }
        ClientToScreen(tree().Handle(), &pt);
        return pt;
    }
    // F2 on the selected node, the text typed, then Enter: true when each step took.
    bool Rename(const std::wstring& text) {
        auto editText = [this]() -> std::wstring {
            HWND edit = TreeView_GetEditControl(tree().Handle());
            if (!edit) return L"(none)";
            wchar_t buffer[64] = {};
            GetWindowTextW(edit, buffer, 64);
            return buffer;
        };
        return Xdotool(L"key F2", [&] { return editText() != L"(none)"; }) &&
               Xdotool(L"type --delay 10 " + text, [&] { return editText() == text; }) &&
               Xdotool(L"key Return", [&] { return editText() == L"(none)"; });
    }
    std::wstring Click(int32_t node, UINT part) {
        const POINT pt = On(node, part);
        return L"mousemove " + std::to_wstring(pt.x) + L" " + std::to_wstring(pt.y) + L" click 1";
    }

    test::TempTree temp;
    ProjectState state;
    std::unique_ptr<win32::MainWindow> window;
};

TEST_F(ProjectTreeInTheWindow, RealClicksAndKeysReachTheRecords) {
    // 1 TOOLS, 2 a.dll, 3 b.ocx, 4 OTHER, 5 e.dll, 6 SUB, 7 c.ocx, 8 DEEP, 9 d.dll
    ASSERT_EQ(state.DigColl->Count(), 9);
    ASSERT_EQ(Record(6).Text, L"SUB");
    EXPECT_EQ(tree().Text(1), L"Active X Controls (" + temp.Path(L"Tools") + L")");

    EXPECT_TRUE(Xdotool(Click(2, TVHT_ONITEMBUTTON), [&] { return Record(1).Expanded == L"1"; }));
    EXPECT_TRUE(
        Xdotool(Click(7, TVHT_ONITEMSTATEICON), [&] { return Record(6).Included == L"0"; }));
    for (int32_t p : {7, 8, 9}) EXPECT_EQ(Record(p).Included, L"0") << p;
    EXPECT_EQ(Record(1).Included, L"1");
    EXPECT_FALSE(tree().Checked(10));
    EXPECT_TRUE(logic().MenuItem(L"mnuFileSave").enabled);

    EXPECT_TRUE(Xdotool(Click(3, TVHT_ONITEMLABEL),
                        [&] { return logic().ProjectTree().SelectedNodeIndex() == 3; }));
    EXPECT_EQ(logic().FilePath(), temp.Path(L"Tools\\a.dll"));
    EXPECT_TRUE(Rename(L"Renamed.dll"));
    EXPECT_EQ(Record(2).Text + L" " + tree().Text(3), L"Renamed.dll Renamed.dll");
    logic().SetProcess(kProcessRescan);  // the tree shows records about to be replaced
    EXPECT_TRUE(Rename(L"Refused"));
    EXPECT_EQ(Record(2).Text + L" " + tree().Text(3), L"Renamed.dll Renamed.dll");
    logic().SetProcess(kProcessIdle);

    // Every picture, as a project opened after some of its items went missing shows them.
    for (int32_t p : {3, 4, 5}) state.DigColl->Item(p)->Exists = false;
    state.DigColl->Item(6)->Expanded = L"1";
    logic().ProjectTree().BuildProjectTree(*state.DigColl);
    Settle();
    CreateDirectoryW(gui_test::WindowsPath(PROWL_TEST_OUTPUT).c_str(), nullptr);
    EXPECT_TRUE(gui_test::SaveWindowPng(
        window->Handle(), gui_test::WindowsPath(PROWL_TEST_OUTPUT "/project-tree.png")));
}

}  // namespace
}  // namespace prowl
