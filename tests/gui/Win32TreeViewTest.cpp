// The tree view contract on the real control, driven by mouse and key messages that go
// through the control's own handling, as a user's would.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include "GuiTestSupport.h"
#include "support/TreeViewContract.h"
#include "win32/Images_win.h"
#include "win32/MainWindow_win.h"

namespace prowl {
namespace {

using gui_test::Pump;

// The tree of a real main window, which hands it the control's notifications.
class Win32Fixture : public TreeViewFixture {
  public:
    TreeView& Tree() override { return tree; }
    void Click(int32_t node) override {
        const RECT text = TextRect(node);
        Press(WM_LBUTTONDOWN, MK_LBUTTON,
              {(text.left + text.right) / 2, (text.top + text.bottom) / 2});
    }
    void ToggleCheck(int32_t node) override {
        Press(WM_LBUTTONDOWN, MK_LBUTTON, PointOn(node, TVHT_ONITEMSTATEICON));
    }
    void Expand(int32_t node) override {
        Press(WM_LBUTTONDOWN, MK_LBUTTON, PointOn(node, TVHT_ONITEMBUTTON));
    }
    void Collapse(int32_t node) override { Expand(node); }
    void EditLabel(int32_t node, const std::wstring& newText) override {
        Edit(node, newText, VK_RETURN);
    }
    void CancelLabelEdit(int32_t node) override { Edit(node, L"abandoned", VK_ESCAPE); }
    void ReleaseMouse(int32_t button, int32_t shift, int32_t x, int32_t y) override {
        const WPARAM keys = (shift & 1 ? MK_SHIFT : 0) | (shift & 2 ? MK_CONTROL : 0);
        if (button == kMouseLeft) Press(WM_LBUTTONDOWN, keys | MK_LBUTTON, {x, y}, keys);
        if (button == kMouseRight) Press(WM_RBUTTONDOWN, keys | MK_RBUTTON, {x, y}, keys);
        if (button == kMouseMiddle) Press(WM_MBUTTONDOWN, keys | MK_MBUTTON, {x, y}, keys);
    }

    // A user reaches a node under a closed parent by opening the parents first, and acts on
    // what has been drawn.
    RECT TextRect(int32_t node) {
        const int32_t parent = tree.Parent(node);
        if (parent != 0 && !tree.Expanded(parent)) {
            TextRect(parent);
            Expand(parent);
        }
        Pump();
        RECT rc{};
        EXPECT_TRUE(TreeView_GetItemRect(tree.Handle(), tree.ItemHandle(node), &rc, TRUE)) << node;
        return rc;
    }
    // The first point left of the label that the control places on the given part.
    POINT PointOn(int32_t node, UINT part) {
        const RECT text = TextRect(node);
        TVHITTESTINFO hit{};
        hit.pt.y = (text.top + text.bottom) / 2;
        for (; hit.pt.x < text.left; ++hit.pt.x)
            if (TreeView_HitTest(tree.Handle(), &hit) == tree.ItemHandle(node) &&
                (hit.flags & part))
                return {hit.pt.x + 2, hit.pt.y};
        ADD_FAILURE() << "no such part on node " << node;
        return {0, 0};
    }
    // The button down message given, and the matching up (for WM_xBUTTONDBLCLK too).
    void Press(UINT down, WPARAM downKeys, POINT pt, WPARAM upKeys = 0) {
        POINT screen = pt;
        ClientToScreen(tree.Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        const UINT up = down == WM_LBUTTONDBLCLK ? WM_LBUTTONUP : down + 1;
        PostMessageW(tree.Handle(), down, downKeys, MAKELPARAM(pt.x, pt.y));
        PostMessageW(tree.Handle(), up, upKeys, MAKELPARAM(pt.x, pt.y));
        Pump();
    }
    void Edit(int32_t node, const std::wstring& text, WORD endKey) {
        TextRect(node);
        SetFocus(tree.Handle());
        HWND edit = TreeView_EditLabel(tree.Handle(), tree.ItemHandle(node));
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, text.c_str());
        PostMessageW(edit, WM_KEYDOWN, endKey, 0);
        Pump();
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
TEST(Win32TreeView, AddsNodesWhenShownOneChangeAClickAndWholePixelPictures) {
    Win32Fixture f;
    HWND control = f.tree.Handle();
    contract::Recorder events(f.tree);
    f.tree.SetEvents(&events);
    f.tree.Add(L"", L"K0", L"Root");
    f.tree.Add(L"K0", L"K1", L"Folder");
    f.tree.Add(L"K1", L"K2", L"deep.ocx");
    f.tree.Add(L"", L"K3", L"Other");
    f.tree.SetImage(3, L"E");
    f.tree.SetChecked(3, true);
    f.tree.SetExpanded(2, true);  // remembered while its parent is closed
    f.tree.SetText(2, L"Renamed");
    Pump();
    EXPECT_EQ(std::tuple(TreeView_GetCount(control), f.tree.ItemHandle(3), f.tree.Checked(3)),
              std::tuple(2u, nullptr, true));
    f.Expand(1);
    EXPECT_EQ(TreeView_GetCount(control), 4u) << "the open folder brings its own child";
    EXPECT_EQ(std::tuple(f.tree.Text(2), f.tree.Expanded(2), f.tree.Image(3), f.tree.Checked(3)),
              std::tuple(std::wstring(L"Renamed"), true, std::wstring(L"E"), true));
    TVITEMW item{};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = f.tree.ItemHandle(3);
    TreeView_GetItem(control, &item);
    EXPECT_EQ(std::pair(item.iImage, item.iSelectedImage), std::pair(4, 4)) << "the fifth picture";

    // The second press of a double-click arrives as WM_LBUTTONDBLCLK: still one change.
    f.ToggleCheck(4);
    f.Press(WM_LBUTTONDBLCLK, MK_LBUTTON, f.PointOn(4, TVHT_ONITEMSTATEICON));
    f.Click(1);
    SetFocus(control);
    for (UINT msg : {WM_KEYDOWN, WM_CHAR, WM_KEYUP}) PostMessageW(control, msg, VK_SPACE, 0);
    Pump();
    EXPECT_EQ(std::tuple(f.tree.Checked(4), TreeView_GetCheckState(control, f.tree.ItemHandle(4)),
                         f.tree.Checked(1)),
              std::tuple(true, 1u, true));
    EXPECT_EQ(
        events.Of({L"NodeCheck", L"Expand", L"Collapse"}),
        (contract::Lines{L"Expand 1 expanded", L"NodeCheck 4 checked", L"NodeCheck 1 checked"}));

    // Wine finds each item by a linear search: a refresh of a large project must not pay it
    // for every box.
    static int sets = 0;
    SetWindowSubclass(
        control,
        [](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
            sets += msg == TVM_SETITEMW;
            return DefSubclassProc(hwnd, msg, wp, lp);
        },
        7, 0);
    f.tree.SetChecked(4, true);
    f.tree.SetChecked(4, false);
    EXPECT_EQ(sets, 1);
    EXPECT_EQ(TreeView_GetCheckState(control, f.tree.ItemHandle(4)), 0u);

    for (int i = 1; i <= 100; ++i) f.tree.Add(L"", L"F" + std::to_wstring(i), L"Folder");
    const int32_t deep = f.tree.Add(L"F90", L"F101", L"missing.ocx");
    f.tree.EnsureVisible(deep);
    Pump();
    RECT shown{}, client{};
    TreeView_GetItemRect(control, f.tree.ItemHandle(deep), &shown, TRUE);
    GetClientRect(control, &client);
    EXPECT_TRUE(shown.top >= client.top && shown.bottom <= client.bottom);

    for (int scale : {1, 2})
        for (auto [list, count] : {std::pair(win32::CreateTreeImageList(scale), 6),
                                   std::pair(win32::CreateToolbarImageList(scale), 5)}) {
            int cx = 0, cy = 0;
            ImageList_GetIconSize(list, &cx, &cy);
            EXPECT_EQ(std::tuple(cx, cy, ImageList_GetImageCount(list)),
                      std::tuple(16 * scale, 16 * scale, count));
            ImageList_Destroy(list);
        }
}

}  // namespace
}  // namespace prowl
