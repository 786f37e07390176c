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

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
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
    void Expand(int32_t node) override { Push(L"Expand", node, State(node)); }
    void Collapse(int32_t node) override { Push(L"Collapse", node, State(node)); }
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
    const wchar_t* State(int32_t node) const {
        return tree_.Expanded(node) ? L" expanded" : L" collapsed";
    }
    void Push(const wchar_t* kind, int32_t node, const std::wstring& rest) {
        lines.push_back(kind + (L" " + std::to_wstring(node)) + rest);
    }
    TreeView& tree_;
};

}  // namespace contract

class TreeViewContract : public ::testing::TestWithParam<TreeViewFactory> {
  protected:
    void SetUp() override {
        fixture_ = GetParam().make();
        events_ = std::make_unique<contract::Recorder>(Tree());
        Tree().SetEvents(events_.get());
        // K0 with children K1 (a folder holding K3) and K2; then a second top-level node K4.
        for (const auto& [relative, key, text] :
             {std::tuple(L"", L"K0", L"Root"), std::tuple(L"K0", L"K1", L"Folder"),
              std::tuple(L"K0", L"K2", L"File.dll"), std::tuple(L"K1", L"K3", L"Inner.ocx"),
              std::tuple(L"", L"K4", L"Second")})
            Tree().Add(relative, key, text);
    }
    void TearDown() override { Tree().SetEvents(nullptr); }
    TreeView& Tree() { return fixture_->Tree(); }
    TreeViewFixture& User() { return *fixture_; }
    std::wstring Node(int32_t i) {
        return Tree().Key(i) + L"|" + Tree().Text(i) + L"|" + std::to_wstring(Tree().Parent(i)) +
               L"|" + Tree().Image(i) + (Tree().Checked(i) ? L"|checked" : L"") +
               (Tree().Expanded(i) ? L"|expanded" : L"") + (Tree().Bold(i) ? L"|bold" : L"");
    }
    contract::Lines Nodes() {
        contract::Lines nodes;
        for (int32_t i = 1; i <= Tree().Count(); ++i) nodes.push_back(Node(i));
        return nodes;
    }
    std::unique_ptr<TreeViewFixture> fixture_;
    std::unique_ptr<contract::Recorder> events_;
};

TEST_P(TreeViewContract, NodesAndTheirStateReadBackAsTheProgramSetThemWithoutAnyEvent) {
    // K3 is displayed under K1, between K1 and K2, yet it is the fourth node.
    EXPECT_EQ(Nodes(), (contract::Lines{L"K0|Root|0|", L"K1|Folder|1|", L"K2|File.dll|1|",
                                        L"K3|Inner.ocx|2|", L"K4|Second|0|"}));
    EXPECT_EQ(std::tuple(Tree().Find(L"K3"), Tree().Find(L"K4"), Tree().Find(L"k1")),
              std::tuple(4, 5, 0));
    EXPECT_THROW(Tree().Add(L"K1", L"K2", L"again"), TreeViewError);
    EXPECT_THROW(Tree().Add(L"K9", L"K5", L"orphan"), TreeViewError);
    // A node may go without a key, any number of times; no look-up answers it. Its state may
    // be set right after it is added, before its children; its text may hold any character.
    EXPECT_EQ(Tree().Add(L"", L"", L"\u00E9\u4E2D"), 6);
    Tree().SetExpanded(6, true);
    Tree().SetChecked(6, true);
    Tree().SetBold(6, true);
    EXPECT_EQ(Tree().Add(L"K4", L"", L"b"), 7);
    EXPECT_EQ(std::to_wstring(Tree().Find(L"")) + Node(6),
              L"0|\u00E9\u4E2D|0||checked|expanded|bold");

    auto a = std::make_shared<clsObject>(), b = std::make_shared<clsObject>();
    for (const auto& [node, record] : std::initializer_list<std::pair<int32_t, ObjectRef>>{
             {2, a}, {4, b}, {4, nullptr}, {3, b}, {3, a}})
        Tree().SetRecord(node, record);
    Tree().SetText(2, L"Active X Controls (C:\\)");
    Tree().SetChecked(6, false);
    Tree().SetBold(6, false);
    Tree().SetExpanded(6, false);
    for (const auto* image : {L"A", L"Z", L"F"}) Tree().SetImage(3, image);
    Tree().SetImage(5, L"Z");  // not in the image list: no picture
    Tree().EnsureVisible(4);   // opens every ancestor of K3
    EXPECT_EQ(Nodes(),
              (contract::Lines{L"K0|Root|0||expanded", L"K1|Active X Controls (C:\\)|1||expanded",
                               L"K2|File.dll|1|F", L"K3|Inner.ocx|2|", L"K4|Second|0|",
                               L"|\u00E9\u4E2D|0|", L"|b|5|"}));
    EXPECT_EQ(std::tuple(Tree().Record(2), Tree().Record(3), Tree().Record(4), b.use_count()),
              std::tuple(a, a, nullptr, 1L))
        << "each node its own record; a replaced one is let go";
    std::weak_ptr<clsObject> watch = a;
    a.reset();
    Tree().Clear();
    EXPECT_EQ(std::tuple(Tree().Count(), Tree().Find(L"K0"), watch.expired()),
              std::tuple(0, 0, true));
    EXPECT_EQ(Tree().Add(L"", L"K2", L"Reused"), 1);
    EXPECT_EQ(events_->lines, contract::Lines{}) << "the program's own changes raise no events";
}

TEST_P(TreeViewContract, UserActionsReportTheirNodeByPositionWithItsNewStateUnlessRefused) {
    User().Expand(1);
    User().Expand(2);
    User().Click(4);  // shown second under the root's first child
    User().ToggleCheck(3);
    User().ToggleCheck(3);
    User().Collapse(1);
    User().EditLabel(5, L"Renamed \u00FC");
    User().CancelLabelEdit(5);
    EXPECT_EQ(
        events_->Of({L"NodeClick", L"NodeCheck", L"Expand", L"Collapse", L"AfterLabelEdit"}),
        (contract::Lines{L"Expand 1 expanded", L"Expand 2 expanded", L"NodeClick 4",
                         L"NodeCheck 3 checked", L"NodeCheck 3 unchecked", L"Collapse 1 collapsed",
                         L"AfterLabelEdit 5 done Renamed \u00FC", L"AfterLabelEdit 5 cancelled"}));
    EXPECT_EQ(Nodes(), (contract::Lines{L"K0|Root|0|", L"K1|Folder|1||expanded", L"K2|File.dll|1|",
                                        L"K3|Inner.ocx|2|", L"K4|Renamed \u00FC|0|"}))
        << "a finished edit keeps its text";
    events_->lines.clear();  // a real click releases a button too
    User().ReleaseMouse(kMouseRight, 0, 12, 7);
    User().ReleaseMouse(kMouseLeft, 1, 30, 40);
    EXPECT_EQ(events_->Of({L"MouseUp"}),
              (contract::Lines{L"MouseUp 2 0 12 7", L"MouseUp 1 1 30 40"}));

    // A handler may set a toggled box back and refuse an edit.
    events_->refuse = true;
    User().ToggleCheck(5);
    User().EditLabel(5, L"Refused");
    EXPECT_EQ(Node(5), L"K4|Renamed \u00FC|0|");
    events_->refuse = false;
    User().ToggleCheck(5);
    EXPECT_TRUE(Tree().Checked(5)) << "a box set back is reported again when toggled";

    // Without an event sink, user actions still change the control.
    Tree().SetEvents(nullptr);
    events_->lines.clear();
    User().EditLabel(5, L"Quiet");
    EXPECT_EQ(Node(5) + std::to_wstring(events_->lines.size()), L"K4|Quiet|0||checked0");
}

}  // namespace prowl
