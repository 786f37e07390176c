#pragma once
// What every implementation of TreeView must do, as one parameterized suite. Include this
// header in exactly one source file of a test program and instantiate it there:
//
//   INSTANTIATE_TEST_SUITE_P(Memory, TreeViewContract,
//                            ::testing::Values(TreeViewFactory{"Memory", &MakeMemoryTree}),
//                            TreeViewFactoryName);
//
// where the factory returns a TreeViewFixture: the control under test and a driver that acts
// on it as a user would (a real control's driver sends real input and returns only after the
// control has raised its events). The suite acts only on nodes a user can see: top-level
// nodes, and children of nodes it has expanded.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tree/TreeView.h"

namespace prowl {

class TreeViewFixture {
  public:
    virtual ~TreeViewFixture() = default;
    virtual TreeView& Tree() = 0;
    // A user's actions. Expand and Collapse act on a node that has children.
    virtual void Click(int32_t node) = 0;        // on the node's label
    virtual void ToggleCheck(int32_t node) = 0;  // on the node's check box
    virtual void Expand(int32_t node) = 0;
    virtual void Collapse(int32_t node) = 0;
    virtual void EditLabel(int32_t node, const std::wstring& newText) = 0;
    virtual void CancelLabelEdit(int32_t node) = 0;
    // At a point in client pixels; shift as MouseUp reports it (1 Shift, 2 Ctrl, 4 Alt).
    virtual void ReleaseMouse(int32_t button, int32_t shift, int32_t x, int32_t y) = 0;
};

struct TreeViewFactory {
    const char* name;  // letters and digits: it becomes part of each test's name
    std::unique_ptr<TreeViewFixture> (*make)();
};
inline void PrintTo(const TreeViewFactory& factory, std::ostream* os) { *os << factory.name; }
inline std::string TreeViewFactoryName(const ::testing::TestParamInfo<TreeViewFactory>& info) {
    return info.param.name;
}

namespace contract {

using Lines = std::vector<std::wstring>;

// Every event as one line, with the state of its node as the handler saw it.
class Recorder : public TreeViewEvents {
  public:
    explicit Recorder(TreeView& tree) : tree_(tree) {}
    void NodeClick(int32_t node) override { Push(L"NodeClick", node, L""); }
    void NodeCheck(int32_t node) override {
        Push(L"NodeCheck", node, tree_.Checked(node) ? L" checked" : L" unchecked");
        if (refuse) tree_.SetChecked(node, !tree_.Checked(node));
    }
    void Expand(int32_t node) override { Push(L"Expand", node, Open(node)); }
    void Collapse(int32_t node) override { Push(L"Collapse", node, Open(node)); }
    bool AfterLabelEdit(int32_t node, bool cancelled, const std::wstring& newText) override {
        Push(L"AfterLabelEdit", node, cancelled ? L" cancelled" : L" done " + newText);
        return !refuse;
    }
    void MouseUp(int32_t button, int32_t shift, int32_t x, int32_t y) override {
        Push(L"MouseUp", button,
             L" " + std::to_wstring(shift) + L" " + std::to_wstring(x) + L" " + std::to_wstring(y));
    }
    // A real click also releases a mouse button and may select; tests look at some kinds.
    Lines Of(std::initializer_list<std::wstring> kinds) const {
        Lines out;
        for (const auto& line : lines)
            for (const auto& kind : kinds)
                if (line.rfind(kind + L" ", 0) == 0) out.push_back(line);
        return out;
    }
    Lines lines;
    bool refuse = false;  // set toggled boxes back and refuse label edits, as a handler may

  private:
    const wchar_t* Open(int32_t n) { return tree_.Expanded(n) ? L" expanded" : L" collapsed"; }
    void Push(const wchar_t* kind, int32_t node, const std::wstring& rest) {
        lines.push_back(kind + (L" " + std::to_wstring(node)) + rest);
    }
    TreeView& tree_;
};

}  // namespace contract

class TreeViewContract : public ::testing::TestWithParam<TreeViewFactory> {};

TEST_P(TreeViewContract, UserActionsReportTheirNodeByPositionAndTheProgramsChangesReadBack) {
    const std::unique_ptr<TreeViewFixture> fixture = GetParam().make();
    TreeView& tree = fixture->Tree();
    contract::Recorder events(tree);
    tree.SetEvents(&events);
    // K0 with children K1 (a folder holding K3) and K2; then a second top-level node K4 with
    // a child K5.
    tree.Add(L"", L"K0", L"Root");
    tree.Add(L"K0", L"K1", L"Folder");
    tree.Add(L"K0", L"K2", L"File.dll");
    tree.Add(L"K1", L"K3", L"Inner.ocx");
    tree.Add(L"", L"K4", L"Second");
    tree.Add(L"K4", L"K5", L"Leaf");
    fixture->Expand(1);
    fixture->Expand(2);
    fixture->Click(4);  // shown second under the root's first child
    fixture->ToggleCheck(3);
    fixture->ToggleCheck(3);
    fixture->Collapse(1);
    fixture->EditLabel(5, L"Renamed \u00FC");
    fixture->CancelLabelEdit(5);
    // A handler may set a toggled box back and refuse an edit; a box set back is reported
    // again when toggled.
    events.refuse = true;
    fixture->ToggleCheck(5);
    fixture->EditLabel(5, L"Refused");
    events.refuse = false;
    fixture->ToggleCheck(5);
    EXPECT_EQ(events.Of({L"NodeClick", L"NodeCheck", L"Expand", L"Collapse", L"AfterLabelEdit"}),
              (contract::Lines{L"Expand 1 expanded", L"Expand 2 expanded", L"NodeClick 4",
                               L"NodeCheck 3 checked", L"NodeCheck 3 unchecked",
                               L"Collapse 1 collapsed", L"AfterLabelEdit 5 done Renamed \u00FC",
                               L"AfterLabelEdit 5 cancelled", L"NodeCheck 5 checked",
                               L"AfterLabelEdit 5 done Refused", L"NodeCheck 5 checked"}));
    fixture->ReleaseMouse(kMouseRight, 1, 12, 7);  // after the releases of the clicks above
    EXPECT_EQ(events.Of({L"MouseUp"}).back(), L"MouseUp 2 1 12 7");

    events.lines.clear();
    tree.EnsureVisible(6);  // opens K4, which no user has opened
    // Each node as key|text|parent|image, then its flags. K3 is displayed under K1, between
    // K1 and K2, yet it is the fourth node.
    std::wstring nodes;
    for (int32_t i = 1; i <= tree.Count(); ++i)
        nodes += tree.Key(i) + L"|" + tree.Text(i) + L"|" + std::to_wstring(tree.Parent(i)) + L"|" +
                 tree.Image(i) + (tree.Checked(i) ? L"|checked" : L"") +
                 (tree.Expanded(i) ? L"|expanded" : L"") + (tree.Bold(i) ? L"|bold" : L"") + L" ";
    EXPECT_EQ(nodes,
              L"K0|Root|0| K1|Folder|1||expanded K2|File.dll|1| "
              L"K3|Inner.ocx|2| K4|Renamed \u00FC|0||checked|expanded K5|Leaf|5| ");
    EXPECT_EQ(events.lines, contract::Lines{}) << "the program's own changes raise no events";
    tree.SetEvents(nullptr);
}

}  // namespace prowl
