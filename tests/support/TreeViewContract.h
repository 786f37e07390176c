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

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tree/TreeView.h"

namespace prowl {

class TreeViewUser {
  public:
    virtual ~TreeViewUser() = default;
    virtual void Click(int32_t node) = 0;        // on the node's label
    virtual void ToggleCheck(int32_t node) = 0;  // on the node's check box
    virtual void Expand(int32_t node) = 0;       // a collapsed node that has children
    virtual void Collapse(int32_t node) = 0;     // an expanded node that has children
    virtual void EditLabel(int32_t node, const std::wstring& newText) = 0;
    virtual void CancelLabelEdit(int32_t node) = 0;
    // Releases a button at a point in the control's client pixels; shift as MouseUp reports
    // it (1 Shift, 2 Ctrl, 4 Alt).
    virtual void ReleaseMouse(int32_t button, int32_t shift, int32_t x, int32_t y) = 0;
};

class TreeViewFixture {
  public:
    virtual ~TreeViewFixture() = default;
    virtual TreeView& Tree() = 0;
    virtual TreeViewUser& User() = 0;
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
    }
    void Expand(int32_t node) override { Push(L"Expand", node, State(node)); }
    void Collapse(int32_t node) override { Push(L"Collapse", node, State(node)); }
    void AfterLabelEdit(int32_t node, bool cancelled, const std::wstring& newText) override {
        Push(L"AfterLabelEdit", node, cancelled ? L" cancelled" : L" done " + newText);
    }
    void MouseUp(int32_t button, int32_t shift, int32_t x, int32_t y) override {
        lines.push_back(L"MouseUp " + std::to_wstring(button) + L" " + std::to_wstring(shift) +
                        L" " + std::to_wstring(x) + L" " + std::to_wstring(y));
    }
    // A real click also releases a mouse button and may select; tests look at one kind.
    Lines Of(std::initializer_list<std::wstring> kinds) const {
        Lines out;
        for (const auto& line : lines)
            for (const auto& kind : kinds)
                if (line.compare(0, kind.size() + 1, kind + L" ") == 0) out.push_back(line);
        return out;
    }
    Lines lines;

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
        recorder_ = std::make_unique<contract::Recorder>(Tree());
        Tree().SetEvents(recorder_.get());
    }
    void TearDown() override {
        if (fixture_) Tree().SetEvents(nullptr);
    }
    TreeView& Tree() { return fixture_->Tree(); }
    TreeViewUser& User() { return fixture_->User(); }
    contract::Recorder& Events() { return *recorder_; }

    // K0 with children K1 (folder with child K3) and K2; then a second top-level node K4.
    // Positions: K0 1, K1 2, K2 3, K3 4, K4 5.
    void AddSample() {
        Tree().Add(L"", L"K0", L"Root");
        Tree().Add(L"K0", L"K1", L"Folder");
        Tree().Add(L"K0", L"K2", L"File.dll");
        Tree().Add(L"K1", L"K3", L"Inner.ocx");
        Tree().Add(L"", L"K4", L"Second");
    }

  private:
    std::unique_ptr<TreeViewFixture> fixture_;
    std::unique_ptr<contract::Recorder> recorder_;
};

TEST_P(TreeViewContract, PositionsFollowInsertionOrderWhereverTheNodeIsPlaced) {
    EXPECT_EQ(Tree().Count(), 0);
    EXPECT_EQ(Tree().Add(L"", L"K0", L"Root"), 1);
    EXPECT_EQ(Tree().Add(L"K0", L"K1", L"Folder"), 2);
    EXPECT_EQ(Tree().Add(L"K0", L"K2", L"File.dll"), 3);
    // Displayed under K1, between K1 and K2, yet the fourth node.
    EXPECT_EQ(Tree().Add(L"K1", L"K3", L"Inner.ocx"), 4);
    EXPECT_EQ(Tree().Add(L"", L"K4", L"Second"), 5);
    EXPECT_EQ(Tree().Count(), 5);

    const wchar_t* keys[] = {L"K0", L"K1", L"K2", L"K3", L"K4"};
    const wchar_t* texts[] = {L"Root", L"Folder", L"File.dll", L"Inner.ocx", L"Second"};
    const int32_t parents[] = {0, 1, 1, 2, 0};
    for (int32_t i = 1; i <= 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Tree().Key(i), keys[i - 1]);
        EXPECT_EQ(Tree().Text(i), texts[i - 1]);
        EXPECT_EQ(Tree().Parent(i), parents[i - 1]);
        EXPECT_EQ(Tree().Find(keys[i - 1]), i);
    }
    EXPECT_EQ(Tree().Find(L"K9"), 0);
    EXPECT_EQ(Tree().Find(L"k1"), 0) << "keys compare case-sensitively";
}

TEST_P(TreeViewContract, AddWithADuplicateKeyOrAnUnknownRelativeFailsAndAddsNothing) {
    AddSample();
    EXPECT_THROW(Tree().Add(L"", L"K2", L"again"), TreeViewError);
    EXPECT_THROW(Tree().Add(L"K1", L"K2", L"again"), TreeViewError);
    EXPECT_THROW(Tree().Add(L"K9", L"K5", L"orphan"), TreeViewError);
    EXPECT_EQ(Tree().Count(), 5);
    EXPECT_EQ(Tree().Find(L"K5"), 0);
    EXPECT_EQ(Tree().Text(3), L"File.dll");
    EXPECT_EQ(Tree().Add(L"K4", L"K5", L"Next"), 6);
}

TEST_P(TreeViewContract, ClearForgetsNodesKeysAndRecords) {
    AddSample();
    auto record = std::make_shared<clsObject>();
    Tree().SetRecord(3, record);
    std::weak_ptr<clsObject> watch = record;
    record.reset();

    Tree().Clear();
    EXPECT_EQ(Tree().Count(), 0);
    EXPECT_EQ(Tree().Find(L"K0"), 0);
    EXPECT_TRUE(watch.expired()) << "the control must not keep a cleared node's record";
    EXPECT_EQ(Tree().Add(L"", L"K2", L"Reused"), 1);
    EXPECT_EQ(Tree().Text(1), L"Reused");
    EXPECT_FALSE(Tree().Checked(1));
    EXPECT_EQ(Tree().Image(1), L"");
}

TEST_P(TreeViewContract, TextReadsBackExactlyAndCanBeRewritten) {
    // Project paths can be long and hold any character.
    std::wstring longPath = L"C:\\";
    while (longPath.size() < 600) longPath += L"Sub folder \u00E9\u4E2D\\";
    Tree().Add(L"", L"K0", longPath);
    Tree().Add(L"", L"K1", L"");
    EXPECT_EQ(Tree().Text(1), longPath);
    EXPECT_EQ(Tree().Text(2), L"");
    Tree().SetText(2, L"Active X Controls (C:\\)");
    EXPECT_EQ(Tree().Text(2), L"Active X Controls (C:\\)");
    Tree().SetText(1, L" ");
    EXPECT_EQ(Tree().Text(1), L" ");
}

TEST_P(TreeViewContract, NodeStateReadsBackWhatWasSet) {
    AddSample();
    for (int32_t i = 1; i <= 5; ++i) {
        EXPECT_FALSE(Tree().Checked(i));
        EXPECT_FALSE(Tree().Expanded(i));
        EXPECT_FALSE(Tree().Bold(i));
        EXPECT_EQ(Tree().Image(i), L"");
        EXPECT_EQ(Tree().Record(i), nullptr);
    }
    const wchar_t* images[] = {L"A", L"B", L"C", L"D", L"E", L"F"};
    for (const auto* image : images) {
        Tree().SetImage(4, image);
        EXPECT_EQ(Tree().Image(4), image);
    }
    Tree().SetImage(4, L"");
    EXPECT_EQ(Tree().Image(4), L"");

    Tree().SetChecked(2, true);
    Tree().SetBold(1, true);
    Tree().SetExpanded(1, true);
    EXPECT_TRUE(Tree().Checked(2));
    EXPECT_TRUE(Tree().Bold(1));
    EXPECT_TRUE(Tree().Expanded(1));
    EXPECT_FALSE(Tree().Checked(1)) << "a parent's box is its own";
    EXPECT_FALSE(Tree().Checked(4)) << "a child's box is its own";
    Tree().SetChecked(2, false);
    Tree().SetBold(1, false);
    Tree().SetExpanded(1, false);
    EXPECT_FALSE(Tree().Checked(2));
    EXPECT_FALSE(Tree().Bold(1));
    EXPECT_FALSE(Tree().Expanded(1));
}

TEST_P(TreeViewContract, ExpandedHoldsForANodeWhoseChildrenComeLater) {
    // The project tree sets a node's state right after adding it, before its children.
    Tree().Add(L"", L"K0", L"Root");
    Tree().SetExpanded(1, true);
    Tree().SetChecked(1, true);
    EXPECT_TRUE(Tree().Expanded(1));
    Tree().Add(L"K0", L"K1", L"File.dll");
    Tree().SetExpanded(2, true);  // a file node: never gets children
    Tree().Add(L"K0", L"K2", L"Other.ocx");
    EXPECT_TRUE(Tree().Expanded(1));
    EXPECT_TRUE(Tree().Checked(1));
    EXPECT_TRUE(Tree().Expanded(2));
    EXPECT_FALSE(Tree().Expanded(3));
}

TEST_P(TreeViewContract, EnsureVisibleExpandsEveryAncestorAndNothingElse) {
    AddSample();
    Tree().Add(L"K3", L"K5", L"Deep");  // position 6, under K0 > K1 > K3
    Tree().EnsureVisible(6);
    EXPECT_TRUE(Tree().Expanded(1));
    EXPECT_TRUE(Tree().Expanded(2));
    EXPECT_TRUE(Tree().Expanded(4));
    EXPECT_FALSE(Tree().Expanded(6)) << "the node itself keeps its state";
    EXPECT_FALSE(Tree().Expanded(3));
    EXPECT_FALSE(Tree().Expanded(5));
    Tree().EnsureVisible(5);  // top level: nothing to expand
    EXPECT_FALSE(Tree().Expanded(5));
}

TEST_P(TreeViewContract, EachNodeCarriesItsOwnRecord) {
    AddSample();
    auto a = std::make_shared<clsObject>();
    auto b = std::make_shared<clsObject>();
    Tree().SetRecord(2, a);
    Tree().SetRecord(4, b);
    EXPECT_EQ(Tree().Record(2), a);
    EXPECT_EQ(Tree().Record(4), b);
    EXPECT_EQ(Tree().Record(3), nullptr);
    Tree().SetRecord(2, b);
    EXPECT_EQ(Tree().Record(2), b);
    Tree().SetRecord(4, nullptr);
    EXPECT_EQ(Tree().Record(4), nullptr);
    EXPECT_EQ(a.use_count(), 1) << "a replaced record is let go";
}

TEST_P(TreeViewContract, TheProgramsOwnChangesRaiseNoEvents) {
    AddSample();
    Tree().SetChecked(2, true);
    Tree().SetExpanded(1, true);
    Tree().SetExpanded(2, true);
    Tree().SetExpanded(2, false);
    Tree().EnsureVisible(4);
    Tree().SetText(3, L"Renamed");
    Tree().SetImage(3, L"B");
    Tree().SetBold(1, true);
    Tree().Clear();
    EXPECT_EQ(Events().lines, contract::Lines{});
}

TEST_P(TreeViewContract, AClickReportsTheNodeByItsPosition) {
    AddSample();
    Tree().SetExpanded(1, true);
    Tree().SetExpanded(2, true);
    User().Click(4);  // shown second under the root's first child
    User().Click(5);
    EXPECT_EQ(Events().Of({L"NodeClick"}), (contract::Lines{L"NodeClick 4", L"NodeClick 5"}));
}

TEST_P(TreeViewContract, ACheckToggleReportsTheNewStateAndTouchesNoOtherBox) {
    AddSample();
    Tree().SetExpanded(1, true);
    User().ToggleCheck(3);
    EXPECT_TRUE(Tree().Checked(3));
    User().ToggleCheck(3);
    EXPECT_FALSE(Tree().Checked(3));
    EXPECT_EQ(Events().Of({L"NodeCheck"}),
              (contract::Lines{L"NodeCheck 3 checked", L"NodeCheck 3 unchecked"}));
    User().ToggleCheck(1);
    EXPECT_FALSE(Tree().Checked(2)) << "the control does not cascade checks";
    EXPECT_EQ(Events().Of({L"Expand"}), contract::Lines{});
}

TEST_P(TreeViewContract, ExpandAndCollapseReportTheNewState) {
    AddSample();
    User().Expand(1);
    EXPECT_TRUE(Tree().Expanded(1));
    User().Expand(2);
    User().Collapse(2);
    User().Collapse(1);
    EXPECT_FALSE(Tree().Expanded(1));
    EXPECT_EQ(Events().Of({L"Expand", L"Collapse"}),
              (contract::Lines{L"Expand 1 expanded", L"Expand 2 expanded", L"Collapse 2 collapsed",
                               L"Collapse 1 collapsed"}));
    EXPECT_EQ(Events().Of({L"NodeCheck"}), contract::Lines{});
}

TEST_P(TreeViewContract, ALabelEditReportsItsEndAndKeepsTheTextOnlyWhenFinished) {
    AddSample();
    User().EditLabel(5, L"Renamed \u00FC");
    EXPECT_EQ(Tree().Text(5), L"Renamed \u00FC");
    User().CancelLabelEdit(3);
    EXPECT_EQ(Tree().Text(3), L"File.dll");
    EXPECT_EQ(
        Events().Of({L"AfterLabelEdit"}),
        (contract::Lines{L"AfterLabelEdit 5 done Renamed \u00FC", L"AfterLabelEdit 3 cancelled"}));
}

TEST_P(TreeViewContract, AMouseReleaseReportsButtonShiftAndPoint) {
    AddSample();
    User().ReleaseMouse(kMouseRight, 0, 12, 7);
    User().ReleaseMouse(kMouseLeft, 1, 30, 40);
    User().ReleaseMouse(kMouseMiddle, 0, 5, 60);
    EXPECT_EQ(Events().Of({L"MouseUp"}),
              (contract::Lines{L"MouseUp 2 0 12 7", L"MouseUp 1 1 30 40", L"MouseUp 4 0 5 60"}));
}

TEST_P(TreeViewContract, WithoutEventSinkUserActionsStillChangeTheControl) {
    AddSample();
    Tree().SetEvents(nullptr);
    User().ToggleCheck(1);
    User().Expand(1);
    User().EditLabel(1, L"Quiet");
    User().ReleaseMouse(kMouseRight, 0, 1, 1);
    EXPECT_TRUE(Tree().Checked(1));
    EXPECT_TRUE(Tree().Expanded(1));
    EXPECT_EQ(Tree().Text(1), L"Quiet");
    EXPECT_EQ(Events().lines, contract::Lines{});
}

}  // namespace prowl
