// The tree view contract on the real control, driven by mouse and key messages that go
// through the control's own handling, as a user's would.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include "GuiTestSupport.h"
#include "support/TreeViewContract.h"
#include "win32/MainWindow_win.h"

namespace prowl {
namespace {

// The tree of a real main window, which hands it the control's notifications.
class Win32Fixture : public TreeViewFixture {
  public:
    TreeView& Tree() override { return tree; }
    void Click(int32_t node) override { ClickOn(node, TVHT_ONITEMLABEL); }
    void ToggleCheck(int32_t node) override { ClickOn(node, TVHT_ONITEMSTATEICON); }
    void Expand(int32_t node) override { ClickOn(node, TVHT_ONITEMBUTTON); }
    void Collapse(int32_t node) override { Expand(node); }
    void EditLabel(int32_t node, const std::wstring& text) override { Edit(node, text, VK_RETURN); }
    void CancelLabelEdit(int32_t node) override { Edit(node, L"abandoned", VK_ESCAPE); }
    void ReleaseMouse(int32_t button, int32_t shift, int32_t x, int32_t y) override {
        const WPARAM keys = (shift & 1 ? MK_SHIFT : 0) | (shift & 2 ? MK_CONTROL : 0);
        Press(button == kMouseLeft ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, {x, y}, keys);
    }

    // The first point from the left that the control places on that part of the node, as a
    // user finds it: the node's closed parents opened first, and acting on what was drawn.
    POINT PointOn(int32_t node, UINT part) {
        if (const int32_t parent = tree.Parent(node); parent != 0 && !tree.Expanded(parent))
            Expand(parent);
        gui_test::Pump();
        RECT text{};
        EXPECT_TRUE(TreeView_GetItemRect(tree.Handle(), tree.ItemHandle(node), &text, TRUE));
        TVHITTESTINFO hit{{0, (text.top + text.bottom) / 2}, 0, nullptr};
        for (; hit.pt.x < text.right; ++hit.pt.x)
            if (TreeView_HitTest(tree.Handle(), &hit) == tree.ItemHandle(node) &&
                (hit.flags & part))
                return {hit.pt.x + 2, hit.pt.y};
        ADD_FAILURE() << "no such part on node " << node;
        return {0, 0};
    }
    void ClickOn(int32_t node, UINT part) { Press(WM_LBUTTONDOWN, PointOn(node, part)); }
    // The button down message given, and the matching up (for WM_LBUTTONDBLCLK too).
    void Press(UINT down, POINT pt, WPARAM keys = 0) {
        POINT screen = pt;
        ClientToScreen(tree.Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(tree.Handle(), down, keys, MAKELPARAM(pt.x, pt.y));
        PostMessageW(tree.Handle(), down == WM_RBUTTONDOWN ? WM_RBUTTONUP : WM_LBUTTONUP, keys,
                     MAKELPARAM(pt.x, pt.y));
        gui_test::Pump();
    }
    void Edit(int32_t node, const std::wstring& text, WORD endKey) {
        SetFocus(tree.Handle());
        HWND edit = TreeView_EditLabel(tree.Handle(), tree.ShownItem(node));
        SetWindowTextW(edit, text.c_str());
        PostMessageW(edit, WM_KEYDOWN, endKey, 0);
        gui_test::Pump();
    }

    ProjectState state;
    std::unique_ptr<win32::MainWindow> window =
        (gui_test::InitControls(), win32::MainWindow::Create(nullptr, state, SW_SHOWNOACTIVATE));
    win32::Win32TreeView& tree = window->Tree();
};

std::unique_ptr<TreeViewFixture> MakeWin32Tree() { return std::make_unique<Win32Fixture>(); }
INSTANTIATE_TEST_SUITE_P(Win32, TreeViewContract,
                         ::testing::Values(TreeViewFactory{"Win32", &MakeWin32Tree}),
                         TreeViewFactoryName);

// What the real control adds to the contract, on one tree.
TEST(Win32TreeView, AddsNodesWhenShownWithTheirStateAndOneClickMakesOneChange) {
    Win32Fixture f;
    contract::Recorder events(f.tree);
    f.tree.SetEvents(&events);
    f.tree.Add(L"", L"K0", L"Root");
    f.tree.Add(L"K0", L"K1", L"Folder");
    f.tree.Add(L"K1", L"K2", L"deep.ocx");
    f.tree.SetChecked(3, true);
    f.tree.SetExpanded(2, true);  // remembered while its parent is closed
    f.Expand(1);                  // the open folder brings its own child, with its box
    // The second press of a double-click arrives as WM_LBUTTONDBLCLK: still one change.
    f.ToggleCheck(1);
    f.Press(WM_LBUTTONDBLCLK, f.PointOn(1, TVHT_ONITEMSTATEICON));
    const auto box = [&](int32_t node) {
        return TreeView_GetCheckState(f.tree.Handle(), f.tree.ItemHandle(node));
    };
    EXPECT_EQ(std::tuple(f.tree.Expanded(2), box(3), box(1), events.Of({L"NodeCheck"})),
              std::tuple(true, 1u, 1u, contract::Lines{L"NodeCheck 1 checked"}));
}

}  // namespace
}  // namespace prowl
