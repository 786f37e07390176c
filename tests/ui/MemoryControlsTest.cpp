// The contract suites on the in-memory controls, which the logic's tests trust.
#include <gtest/gtest.h>

#include "support/ControlContracts.h"
#include "support/TreeViewContract.h"
#include "ui/memory/MemoryControls.h"

namespace prowl {
namespace {

struct MemoryControlsFixture : ControlsFixture {
    CommandSwitches& Switches() override { return window.commands; }
    StatusPanels& Panels() override { return window.panels; }
    ProgressBarView& Progress() override { return window.progress; }
    MemoryMainWindow window;
};
std::unique_ptr<ControlsFixture> MakeMemoryControls() {
    return std::make_unique<MemoryControlsFixture>();
}
INSTANTIATE_TEST_SUITE_P(Memory, ControlsContract,
                         ::testing::Values(ControlsFactory{"Memory", &MakeMemoryControls}),
                         ControlsFactoryName);

class MemoryTreeFixture : public TreeViewFixture {
  public:
    MemoryTreeFixture() { tree.SetImageKeys({L"A", L"B", L"C", L"D", L"E", L"F"}); }
    TreeView& Tree() override { return tree; }
    void Click(int32_t node) override { tree.UserClick(node); }
    void ToggleCheck(int32_t node) override { tree.UserToggleCheck(node); }
    void Expand(int32_t node) override { tree.UserExpand(node); }
    void Collapse(int32_t node) override { tree.UserCollapse(node); }
    void EditLabel(int32_t node, const std::wstring& text) override {
        tree.UserEditLabel(node, text);
    }
    void CancelLabelEdit(int32_t node) override { tree.UserCancelLabelEdit(node); }
    void ReleaseMouse(int32_t button, int32_t shift, int32_t x, int32_t y) override {
        tree.UserMouseUp(button, shift, x, y);
    }
    MemoryTreeView tree;
};
std::unique_ptr<TreeViewFixture> MakeMemoryTree() { return std::make_unique<MemoryTreeFixture>(); }
INSTANTIATE_TEST_SUITE_P(Memory, TreeViewContract,
                         ::testing::Values(TreeViewFactory{"Memory", &MakeMemoryTree}),
                         TreeViewFactoryName);

}  // namespace
}  // namespace prowl
