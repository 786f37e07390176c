// The tree view contract on the real control, driven by mouse and key messages that go
// through the control's own handling, as a user's would.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include "GuiTestSupport.h"
#include "support/TreeViewContract.h"
#include "win32/Images_win.h"
#include "win32/TreeView_win.h"

namespace prowl {
namespace {

using gui_test::HostWindow;
using gui_test::Pump;
using win32::Win32TreeView;

class Win32User : public TreeViewUser {
  public:
    explicit Win32User(Win32TreeView& tree) : tree_(tree) {}

    void Click(int32_t node) override {
        RECT text = TextRect(node);
        Press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON,
              {(text.left + text.right) / 2, (text.top + text.bottom) / 2});
    }
    void ToggleCheck(int32_t node) override {
        Press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, PointOn(node, TVHT_ONITEMSTATEICON));
    }
    void Expand(int32_t node) override {
        Press(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, PointOn(node, TVHT_ONITEMBUTTON));
    }
    void Collapse(int32_t node) override { Expand(node); }
    void EditLabel(int32_t node, const std::wstring& newText) override {
        HWND edit = BeginEdit(node);
        SetWindowTextW(edit, newText.c_str());
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        Pump();
    }
    void CancelLabelEdit(int32_t node) override {
        HWND edit = BeginEdit(node);
        SetWindowTextW(edit, L"abandoned");
        PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
        Pump();
    }
    void ReleaseMouse(int32_t button, int32_t shift, int32_t x, int32_t y) override {
        WPARAM keys = (shift & 1 ? MK_SHIFT : 0) | (shift & 2 ? MK_CONTROL : 0);
        if (button == kMouseLeft)
            Press(WM_LBUTTONDOWN, WM_LBUTTONUP, keys | MK_LBUTTON, {x, y}, keys);
        else if (button == kMouseRight)
            Press(WM_RBUTTONDOWN, WM_RBUTTONUP, keys | MK_RBUTTON, {x, y}, keys);
        else
            Press(WM_MBUTTONDOWN, WM_MBUTTONUP, keys | MK_MBUTTON, {x, y}, keys);
    }

  private:
    // A user reaches a node under a closed parent by opening the parents first.
    void Show(int32_t node) {
        const int32_t parent = tree_.Parent(node);
        if (parent == 0 || tree_.Expanded(parent)) return;
        Show(parent);
        Expand(parent);
    }
    RECT TextRect(int32_t node) {
        Show(node);
        Pump();  // a user acts on what has been drawn
        RECT rc{};
        EXPECT_TRUE(TreeView_GetItemRect(tree_.Handle(), tree_.ItemHandle(node), &rc, TRUE))
            << "node " << node << " is not shown";
        return rc;
    }
    // The first point left of the label that the control places on the given part.
    POINT PointOn(int32_t node, UINT part) {
        RECT text = TextRect(node);
        const int y = (text.top + text.bottom) / 2;
        for (int x = 0; x < text.left; ++x) {
            TVHITTESTINFO hit{};
            hit.pt = {x, y};
            TreeView_HitTest(tree_.Handle(), &hit);
            if (hit.hItem == tree_.ItemHandle(node) && (hit.flags & part)) return {x + 2, y};
        }
        ADD_FAILURE() << "no such part on node " << node;
        return {0, 0};
    }
    void Press(UINT down, UINT up, WPARAM downKeys, POINT pt, WPARAM upKeys = 0) {
        POINT screen = pt;
        ClientToScreen(tree_.Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(tree_.Handle(), down, downKeys, MAKELPARAM(pt.x, pt.y));
        PostMessageW(tree_.Handle(), up, upKeys, MAKELPARAM(pt.x, pt.y));
        Pump();
    }
    HWND BeginEdit(int32_t node) {
        Show(node);
        Pump();
        SetFocus(tree_.Handle());
        HWND edit = TreeView_EditLabel(tree_.Handle(), tree_.ItemHandle(node));
        EXPECT_NE(edit, nullptr);
        return edit;
    }
    Win32TreeView& tree_;
};

class Win32Fixture : public TreeViewFixture {
  public:
    Win32Fixture()
        : host(400, 300),
          images(win32::CreateTreeImageList()),
          tree(host.Handle(), 1, images, win32::TreeImageKeys(),
               win32::TreeViewOptions{true, true}),
          user(tree) {
        MoveWindow(tree.Handle(), 0, 0, 380, 260, TRUE);
        host.OnNotify(
            [](void* self, const NMHDR& header, LRESULT& result) {
                return static_cast<Win32TreeView*>(self)->OnNotify(header, result);
            },
            &tree);
    }
    ~Win32Fixture() override { ImageList_Destroy(images); }
    TreeView& Tree() override { return tree; }
    TreeViewUser& User() override { return user; }

    HostWindow host;
    HIMAGELIST images;
    Win32TreeView tree;
    Win32User user;
};

std::unique_ptr<TreeViewFixture> MakeWin32Tree() { return std::make_unique<Win32Fixture>(); }

INSTANTIATE_TEST_SUITE_P(Win32, TreeViewContract,
                         ::testing::Values(TreeViewFactory{"Win32", &MakeWin32Tree}),
                         TreeViewFactoryName);

// What the real control adds to the contract.
TEST(Win32TreeView, ADoubleClickOnACheckBoxIsOneChange) {
    Win32Fixture f;
    contract::Recorder events(f.tree);
    f.tree.SetEvents(&events);
    f.tree.Add(L"", L"K0", L"Root");
    Pump();
    f.user.ToggleCheck(1);
    // The second press of a double-click arrives as WM_LBUTTONDBLCLK.
    RECT text{};
    TreeView_GetItemRect(f.tree.Handle(), f.tree.ItemHandle(1), &text, TRUE);
    TVHITTESTINFO hit{};
    for (int x = 0; x < text.left; ++x) {
        hit.pt = {x, (text.top + text.bottom) / 2};
        TreeView_HitTest(f.tree.Handle(), &hit);
        if (hit.flags & TVHT_ONITEMSTATEICON) break;
    }
    PostMessageW(f.tree.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(hit.pt.x + 2, hit.pt.y));
    PostMessageW(f.tree.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x + 2, hit.pt.y));
    Pump();
    EXPECT_TRUE(f.tree.Checked(1));
    EXPECT_EQ(events.Of({L"NodeCheck"}), contract::Lines{L"NodeCheck 1 checked"});
}

TEST(Win32TreeView, SpaceTogglesTheSelectedBox) {
    Win32Fixture f;
    contract::Recorder events(f.tree);
    f.tree.SetEvents(&events);
    f.tree.Add(L"", L"K0", L"Root");
    f.tree.Add(L"", L"K1", L"Other");
    f.user.Click(2);
    SetFocus(f.tree.Handle());
    PostMessageW(f.tree.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    PostMessageW(f.tree.Handle(), WM_CHAR, L' ', 0);
    PostMessageW(f.tree.Handle(), WM_KEYUP, VK_SPACE, 0);
    Pump();
    EXPECT_TRUE(f.tree.Checked(2));
    EXPECT_EQ(events.Of({L"NodeCheck"}), contract::Lines{L"NodeCheck 2 checked"});
}

TEST(Win32TreeView, NodesUnderAClosedParentEnterTheControlWithTheirStateWhenItOpens) {
    Win32Fixture f;
    contract::Recorder events(f.tree);
    f.tree.SetEvents(&events);
    f.tree.Add(L"", L"K0", L"Root");
    f.tree.Add(L"K0", L"K1", L"Folder");
    f.tree.Add(L"K1", L"K2", L"deep.ocx");
    f.tree.SetImage(3, L"F");
    f.tree.SetChecked(3, true);
    f.tree.SetExpanded(2, true);  // remembered while its parent is closed
    f.tree.SetText(2, L"Renamed");
    Pump();
    EXPECT_EQ(TreeView_GetCount(f.tree.Handle()), 1u);
    EXPECT_EQ(f.tree.Count(), 3);
    EXPECT_EQ(f.tree.ItemHandle(3), nullptr);
    EXPECT_TRUE(f.tree.Checked(3));

    f.user.Expand(1);
    EXPECT_EQ(TreeView_GetCount(f.tree.Handle()), 3u) << "the open folder brings its own child";
    ASSERT_NE(f.tree.ItemHandle(3), nullptr);
    EXPECT_EQ(f.tree.Text(2), L"Renamed");
    EXPECT_TRUE(f.tree.Expanded(2));
    EXPECT_EQ(f.tree.Image(3), L"F");
    EXPECT_TRUE(f.tree.Checked(3));
    EXPECT_EQ(events.Of({L"Expand", L"Collapse"}), contract::Lines{L"Expand 1 expanded"});
}

TEST(Win32TreeView, ALargeTreeFillsInTimeLinearInWhatIsShown) {
    // Two thousand folders of ten files each, closed: only the folders enter the control.
    Win32Fixture f;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    f.tree.Add(L"", L"K0", L"Root");
    f.tree.SetExpanded(1, true);
    int32_t key = 0;
    for (int folder = 0; folder < 2000; ++folder) {
        const std::wstring folderKey = L"K" + std::to_wstring(++key);
        int32_t node = f.tree.Add(L"K0", folderKey, L"Folder");
        f.tree.SetImage(node, L"A");
        f.tree.SetChecked(node, true);
        f.tree.SetExpanded(node, false);
        for (int file = 0; file < 10; ++file) {
            node = f.tree.Add(folderKey, L"K" + std::to_wstring(++key), L"file.dll");
            f.tree.SetImage(node, L"B");
            f.tree.SetChecked(node, true);
            f.tree.SetExpanded(node, false);
        }
    }
    Pump();  // the run ends: everything shown is in the control and drawn
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart;
    std::printf("%d nodes, %u in the control: %.0f ms\n", f.tree.Count(),
                TreeView_GetCount(f.tree.Handle()), ms);
    EXPECT_EQ(TreeView_GetCount(f.tree.Handle()), 2001u);
    EXPECT_LT(ms, 5000.0);
}

TEST(Win32TreeView, EnsureVisibleScrollsTheNodeIntoTheWindow) {
    Win32Fixture f;
    for (int i = 1; i <= 100; ++i) f.tree.Add(L"", L"K" + std::to_wstring(i), L"Folder");
    const int32_t deep = f.tree.Add(L"K90", L"K101", L"missing.ocx");
    f.tree.EnsureVisible(deep);
    Pump();
    RECT item{}, client{};
    ASSERT_TRUE(TreeView_GetItemRect(f.tree.Handle(), f.tree.ItemHandle(deep), &item, TRUE));
    GetClientRect(f.tree.Handle(), &client);
    EXPECT_GE(item.top, client.top);
    EXPECT_LE(item.bottom, client.bottom);
}

TEST(Win32TreeView, ImagesComeFromTheListByKey) {
    Win32Fixture f;
    f.tree.Add(L"", L"K0", L"Root");
    f.tree.SetImage(1, L"E");
    TVITEMW item{};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    item.hItem = f.tree.ShownItem(1);
    ASSERT_TRUE(TreeView_GetItem(f.tree.Handle(), &item));
    EXPECT_EQ(item.iImage, 4);
    EXPECT_EQ(item.iSelectedImage, 4) << "a selected node keeps its picture";
    EXPECT_EQ(ImageList_GetImageCount(f.images), 6);
}

TEST(Win32TreeView, PicturesGrowByWholePixelsOnADenseScreen) {
    for (int scale : {1, 2}) {
        HIMAGELIST tree = win32::CreateTreeImageList(scale);
        HIMAGELIST toolbar = win32::CreateToolbarImageList(scale);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(tree, &cx, &cy);
        EXPECT_EQ(cx, 16 * scale);
        EXPECT_EQ(cy, 16 * scale);
        ImageList_GetIconSize(toolbar, &cx, &cy);
        EXPECT_EQ(cx, 16 * scale);
        EXPECT_EQ(ImageList_GetImageCount(toolbar), 5);
        ImageList_Destroy(tree);
        ImageList_Destroy(toolbar);
    }
}

}  // namespace
}  // namespace prowl
