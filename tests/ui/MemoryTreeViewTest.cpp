#include <gtest/gtest.h>

#include <memory>

#include "support/TreeViewContract.h"
#include "tree/MemoryTreeView.h"

namespace prowl {
namespace {

class MemoryUser : public TreeViewUser {
  public:
    explicit MemoryUser(MemoryTreeView& tree) : tree_(tree) {}
    void Click(int32_t node) override { tree_.UserClick(node); }
    void ToggleCheck(int32_t node) override { tree_.UserToggleCheck(node); }
    void Expand(int32_t node) override { tree_.UserExpand(node); }
    void Collapse(int32_t node) override { tree_.UserCollapse(node); }
    void EditLabel(int32_t node, const std::wstring& text) override {
        tree_.UserEditLabel(node, text);
    }
    void CancelLabelEdit(int32_t node) override { tree_.UserCancelLabelEdit(node); }
    void ReleaseMouse(int32_t button, int32_t shift, int32_t x, int32_t y) override {
        tree_.UserMouseUp(button, shift, x, y);
    }

  private:
    MemoryTreeView& tree_;
};

class MemoryFixture : public TreeViewFixture {
  public:
    TreeView& Tree() override { return tree; }
    TreeViewUser& User() override { return user; }
    MemoryTreeView tree;
    MemoryUser user{tree};
};

std::unique_ptr<TreeViewFixture> MakeMemoryTree() { return std::make_unique<MemoryFixture>(); }

INSTANTIATE_TEST_SUITE_P(Memory, TreeViewContract,
                         ::testing::Values(TreeViewFactory{"Memory", &MakeMemoryTree}),
                         TreeViewFactoryName);

// What only the in-memory model offers: the shape a lazily drawn control is filled from.
TEST(MemoryTreeView, ChildrenListInDisplayOrder) {
    MemoryTreeView tree;
    tree.Add(L"", L"K0", L"Root");
    tree.Add(L"K0", L"K1", L"a");
    tree.Add(L"", L"K2", L"b");
    tree.Add(L"K0", L"K3", L"c");
    tree.Add(L"K1", L"K4", L"d");
    EXPECT_EQ(tree.Children(0), (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(tree.Children(1), (std::vector<int32_t>{2, 4}));
    EXPECT_EQ(tree.Children(2), (std::vector<int32_t>{5}));
    EXPECT_TRUE(tree.Children(5).empty());
    tree.Clear();
    EXPECT_TRUE(tree.Children(0).empty());
}

TEST(MemoryTreeView, NodesWithoutKeyAreAllowedAndNeverFound) {
    MemoryTreeView tree;
    EXPECT_EQ(tree.Add(L"", L"", L"one"), 1);
    EXPECT_EQ(tree.Add(L"", L"", L"two"), 2);
    EXPECT_EQ(tree.Find(L""), 0);
}

TEST(MemoryTreeView, AUserCannotExpandANodeWithoutChildren) {
    MemoryTreeView tree;
    contract::Recorder events(tree);
    tree.SetEvents(&events);
    tree.Add(L"", L"K0", L"leaf");
    tree.UserExpand(1);
    EXPECT_FALSE(tree.Expanded(1));
    EXPECT_TRUE(events.lines.empty());
}

TEST(MemoryTreeView, ALabelEditWhoseHandlerClearsTheTreeDoesNotFail) {
    struct Clearing : contract::Recorder {
        using Recorder::Recorder;
        MemoryTreeView* tree = nullptr;
        void AfterLabelEdit(int32_t, bool, const std::wstring&) override { tree->Clear(); }
    };
    MemoryTreeView tree;
    Clearing events(tree);
    events.tree = &tree;
    tree.SetEvents(&events);
    tree.Add(L"", L"K0", L"x");
    tree.UserEditLabel(1, L"y");
    EXPECT_EQ(tree.Count(), 0);
}

}  // namespace
}  // namespace prowl
