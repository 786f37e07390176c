// The project tree through the main window's logic, on the in-memory controls: what is
// drawn, what each user action does to the records, and what it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tree/ProjectTreeBuilder.h"
#include "tree/RecordOperations.h"
#include "ui/MainWindowLogic.h"
#include "ui/ProjectTreeLogic.h"
#include "ui/memory/MemoryControls.h"

namespace prowl {
namespace {

using Lines = std::vector<std::wstring>;

class ProjectTreeTest : public ::testing::Test {
  protected:
    ProjectTreeTest() { logic.Start(); }

    // A record as a scan makes it, at the end of DigColl.
    ObjectRef Add(int32_t parent, const wchar_t* type, const std::wstring& text) {
        auto r = std::make_shared<clsObject>();
        r->Index = state.DigColl->Count() + 1;
        r->ParentIndex = parent;
        r->Key = MakeKey(r->Index);
        r->Reference = MakeKey(parent);
        r->NodeType = type;
        r->Path = L"C:\\" + text;
        r->Text = text;
        r->Included = kFlagOn;
        r->Expanded = kFlagOff;
        r->Exists = true;
        state.DigColl->Add(r);
        return r;
    }
    // In scan order: 1 TOOLS, 2 a.dll, 3 b.ocx, 4 SUB, 5 c.ocx, 6 DEEP, 7 d.dll, 8 OTHER, 9 e.dll
    void AddSample() {
        state.SaveFile->StartPath = L"C:\\Tools";
        Add(0, kNodeFolder, L"TOOLS");
        for (const auto* file : {L"a.dll", L"b.ocx"}) Add(1, file[2] == L'd' ? L"2" : L"3", file);
        Add(1, kNodeFolder, L"SUB");
        Add(4, kNodeOcx, L"c.ocx");
        Add(4, kNodeFolder, L"DEEP");
        Add(6, kNodeDll, L"d.dll");
        Add(1, kNodeFolder, L"OTHER");
        Add(8, kNodeDll, L"e.dll");
    }
    void Build() { logic.ProjectTree().BuildProjectTree(*state.DigColl); }
    clsObject& Record(int32_t position) { return *state.DigColl->Item(position); }
    // Each node as "parent>key image, box (x ticked), + expanded, text".
    Lines Dump() {
        Lines lines;
        for (int32_t n = 1; n <= tree.Count(); ++n)
            lines.push_back(std::to_wstring(tree.Parent(n)) + L">" + tree.Key(n) + L" " +
                            (tree.Image(n).empty() ? L"_" : tree.Image(n)) +
                            (tree.Checked(n) ? L"x" : L".") + (tree.Expanded(n) ? L"+ " : L"- ") +
                            tree.Text(n));
        return lines;
    }
    std::wstring Included() {
        std::wstring flags;
        for (const auto& r : *state.DigColl) flags += r->Included;
        return flags;
    }
    std::wstring Boxes() {
        std::wstring boxes;
        for (int32_t n = 2; n <= tree.Count(); ++n) boxes += tree.Checked(n) ? L'1' : L'0';
        return boxes;
    }
    bool Enabled(const wchar_t* item) { return logic.MenuItem(item).enabled; }
    bool SaveEnabled() { return Enabled(L"mnuFileSave"); }
    void DisableSave() { logic.SaveSucceeded(logic.BeginSave()); }
    // Register/Unregister Me, Register/Unregister Group, File Details and File Properties.
    std::wstring Popup() {
        std::wstring s;
        for (const auto* item : {L"mnuMe_Reg", L"mnuMe_Unreg", L"mnuGroup_Reg", L"mnuGroup_Unreg",
                                 L"mnuTreeDetails", L"mnuViewFile"})
            s += Enabled(item) ? L'1' : L'0';
        return s;
    }

    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    MemoryTreeView& tree = window.tree;
};

TEST_F(ProjectTreeTest, TheProjectIsDrawnUnderItsRootAndMissingItemsAreRevealed) {
    state.SaveFile->StartPath = L"C:\\Tools";
    Build();
    EXPECT_EQ(Dump(), Lines{L"0>K0 Ax+ Active X Controls (C:\\Tools)"});
    EXPECT_TRUE(tree.Bold(1));

    AddSample();
    Record(2).Included = kFlagOff;
    Record(3).Included = L"";  // only "1" ticks, only "1" expands
    Record(4).Expanded = kFlagOn;
    Record(6).Expanded = L"yes";
    for (int32_t p : {3, 6, 7, 9}) Record(p).Exists = false;
    Record(9).NodeType = L"4";  // a type the tree does not know: no image, no reveal
    state.SaveFile->Altered = false;
    Build();
    EXPECT_EQ(Dump(),
              (Lines{L"0>K0 Ax+ Active X Controls (C:\\Tools)", L"1>K1 Ax+ TOOLS",
                     L"2>K2 B.- a.dll", L"2>K3 F.- b.ocx", L"2>K4 Ax+ SUB", L"5>K5 Cx- c.ocx",
                     L"5>K6 Dx+ DEEP", L"7>K7 Ex- d.dll", L"2>K8 Ax- OTHER", L"9>K9 _x- e.dll"}));
    for (int32_t p = 1; p <= 9; ++p) EXPECT_EQ(tree.Record(p + 1), state.DigColl->Item(p));
    EXPECT_FALSE(tree.Bold(2));
    EXPECT_EQ(tree.LastRevealed(), 8);
    EXPECT_EQ(Record(1).Expanded + Record(6).Expanded, L"0yes") << "revealing stores nothing";
    EXPECT_FALSE(state.SaveFile->Altered);
}

TEST_F(ProjectTreeTest, AHandEditedCollectionIsDrawnWholeAndEachNodeActsOnItsOwnRecord) {
    state.SaveFile->StartPath = L"D:\\";
    Add(0, kNodeFolder, L"D:");
    auto first = Add(1, kNodeDll, L"first.dll");
    auto twin = Add(1, kNodeFolder, L"TWIN");  // repeats K2
    twin->Key = L"K2";
    Add(2, kNodeOcx, L"under.ocx");  // refers to K2: hangs under the first
    Add(40, kNodeFolder, L"LOST");   // K40 is nowhere
    Add(5, kNodeDll, L"found.dll");  // under the lost folder
    Add(8, kNodeDll, L"ahead.dll");  // K8 comes later
    Add(1, kNodeFolder, L"LATER");
    Add(1, kNodeDll, L"root.dll")->Key = L"K0";  // the root's key
    Add(1, kNodeDll, L"none.dll")->Reference = L"";
    Build();
    EXPECT_EQ(Dump(), (Lines{L"0>K0 Ax+ Active X Controls (D:\\)", L"1>K1 Ax- D:",
                             L"2>K2 Bx- first.dll", L"2> Ax- TWIN", L"3>K4 Cx- under.ocx",
                             L"2>K8 Ax- LATER", L"2> Bx- root.dll", L"1>K5 Ax- LOST",
                             L"8>K6 Bx- found.dll", L"1>K7 Bx- ahead.dll", L"1>K10 Bx- none.dll"}));
    EXPECT_EQ(twin->Key + twin->Reference + Record(9).Key + Record(10).Reference, L"K2K1K0");

    tree.UserToggleCheck(4);
    tree.UserEditLabel(4, L"RENAMED");
    EXPECT_EQ(twin->Included + twin->Text, L"0RENAMED");
    EXPECT_EQ(first->Included + first->Text, L"1first.dll");
}

TEST_F(ProjectTreeTest, ANodeClickShowsTheFileAndSetsThePopupUntilTheTreeIsRebuilt) {
    AddSample();
    window.files.lookups[L"C:\\a.dll"] = FileLookup::Present;
    window.files.lookups[L"C:\\c.ocx"] = FileLookup::Present;
    window.files.lookups[L"C:\\d.dll"] = FileLookup::CannotExamine;
    Record(5).Exists = false;  // the disk at the moment of the click counts
    Record(9).NodeType = L"";
    Build();
    const struct {
        int32_t node;
        const wchar_t* path;
        const wchar_t* popup;
    } cases[] = {
        {1, L"", L"000000"},
        {3, L"C:\\a.dll", L"110011"},
        {5, L"", L"001100"},
        {4, L"C:\\b.ocx [File Not Found]", L"110000"},
        {6, L"C:\\c.ocx", L"110011"},
        {8, L"C:\\d.dll [File Not Found]", L"110000"},
        {10, L"C:\\e.dll [File Not Found]", L"000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node);
        tree.UserClick(c.node);
        EXPECT_EQ(logic.ProjectTree().SelectedNodeIndex(), c.node);
        EXPECT_EQ(window.filePath.Text(), c.path);
        EXPECT_EQ(Popup(), c.popup);
    }
    EXPECT_FALSE(Record(5).Exists);
    EXPECT_FALSE(SaveEnabled());

    for (bool rebuild : {true, false}) {
        tree.UserClick(3);
        EXPECT_EQ(logic.ProjectTree().SelectedRecord(), state.DigColl->Item(2));
        rebuild ? Build() : logic.ProjectTree().ClearProjectTree();
        EXPECT_EQ(logic.ProjectTree().SelectedRecord(), nullptr);
        EXPECT_EQ(
            std::to_wstring(logic.ProjectTree().SelectedNodeIndex()) + Popup() + logic.FilePath(),
            L"0000000");
    }
}

TEST_F(ProjectTreeTest, ATickActsOnTheWholeSubtreeButNeverOnAncestorsOrWhileAScanRuns) {
    AddSample();
    Build();
    tree.UserToggleCheck(5);  // SUB
    EXPECT_EQ(Included() + Boxes(), L"111000011111000011");
    EXPECT_TRUE(state.SaveFile->Altered);
    EXPECT_TRUE(SaveEnabled());
    EXPECT_EQ(window.window.pointers.end()[-2], kPointerHourglass);
    EXPECT_EQ(logic.Pointer(), kPointerArrow);
    tree.UserToggleCheck(8);  // d.dll inside the excluded folder: only itself
    EXPECT_EQ(Included() + Boxes(), L"111000111111000111");

    DisableSave();
    state.SaveFile->Altered = false;
    logic.ProjectTree().NodeCheck(3);  // a report equal to the record changes nothing
    EXPECT_FALSE(SaveEnabled() || state.SaveFile->Altered);
    tree.UserToggleCheck(1);  // the root: no record, no other box, yet a change
    EXPECT_EQ(Included() + Boxes(), L"111000111111000111");
    EXPECT_FALSE(state.SaveFile->Altered);
    EXPECT_TRUE(SaveEnabled());

    DisableSave();
    for (int16_t mode : {kProcessNewScan, kProcessRescan}) {
        logic.SetProcess(mode);
        for (int32_t node : {1, 2, 5}) tree.UserToggleCheck(node);
        EXPECT_EQ(Included() + Boxes(), L"111000111111000111");
        EXPECT_FALSE(tree.Checked(1));
        EXPECT_FALSE(SaveEnabled());
    }
    logic.SetProcess(kProcessGroupRegister);  // a group run allows ticks and keeps its pointer
    logic.SetPointer(kPointerArrowHourglass);
    tree.UserToggleCheck(2);
    EXPECT_EQ(Included(), L"000000000");
    EXPECT_EQ(logic.Pointer(), kPointerArrowHourglass);
}

// The real control pays a message for each box it is told to set.
struct CountingTree : MemoryTreeView {
    void SetChecked(int32_t node, bool checked) override {
        ++sets;
        MemoryTreeView::SetChecked(node, checked);
    }
    int sets = 0;
};

TEST_F(ProjectTreeTest, ATickTouchesOnlyTheBoxesThatChange) {
    AddSample();
    Record(6).Included = kFlagOff;  // DEEP's box is already clear, d.dll's ticked
    CountingTree counting;
    ProjectTreeLogic handlers(logic, state, counting, window.files);
    counting.SetEvents(&handlers);
    handlers.BuildProjectTree(*state.DigColl);
    counting.sets = 0;
    counting.UserToggleCheck(5);  // SUB: c.ocx, d.dll change; DEEP does not
    EXPECT_EQ(counting.sets, 2);
    EXPECT_EQ(Included(), L"111000011");
}

TEST_F(ProjectTreeTest, ExpandAndCollapseAreStoredAndEmptyThePathUnlessAScanRuns) {
    AddSample();
    window.files.lookups[L"C:\\a.dll"] = FileLookup::Present;
    Build();
    tree.UserClick(3);
    tree.UserExpand(2);
    EXPECT_EQ(Record(1).Expanded + window.filePath.Text(), L"1");
    EXPECT_TRUE(state.SaveFile->Altered && SaveEnabled());
    tree.UserCollapse(2);
    EXPECT_EQ(Record(1).Expanded, kFlagOff);
    DisableSave();
    tree.UserCollapse(1);  // the root has no record, yet the change counts
    EXPECT_TRUE(SaveEnabled());

    DisableSave();
    logic.SetProcess(kProcessRescan);
    tree.UserExpand(2);
    EXPECT_TRUE(tree.Expanded(2)) << "the view is the user's";
    EXPECT_EQ(Record(1).Expanded, kFlagOff) << "a record about to be replaced is left alone";
    EXPECT_FALSE(SaveEnabled());
}

TEST_F(ProjectTreeTest, ALabelEditIsStoredOnTheEditedNodeUnlessCancelledOrRefused) {
    AddSample();
    Build();
    tree.UserClick(4);  // the edit acts on the edited node, not on the one clicked last
    const struct {
        int32_t node;
        std::wstring text;  // "?" cancels
        int16_t mode;
        bool kept;  // stored, shown, and Save enabled
    } cases[] = {
        {3, L"renamed.dll", kProcessIdle, true},
        {3, L"?", kProcessIdle, false},
        {5, L"Tab\there", kProcessIdle, false},
        {5, L"Line\nbreak", kProcessIdle, false},
        {5, L"Line\rbreak", kProcessIdle, false},
        {5, std::wstring(L"nul\0", 4), kProcessIdle, false},
        {5, L"", kProcessGroupUnregister, true},
        {5, L"Scanning", kProcessNewScan, false},
        {5, L"Rescanning", kProcessRescan, false},
        {1, L"My tools", kProcessIdle, true},  // the root: no record, yet a change
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        logic.SetProcess(c.mode);
        DisableSave();
        const std::wstring before = tree.Text(c.node);
        c.text == L"?" ? tree.UserCancelLabelEdit(c.node) : tree.UserEditLabel(c.node, c.text);
        const std::wstring expected = c.kept ? c.text : before;
        EXPECT_EQ(tree.Text(c.node), expected);
        if (tree.Record(c.node)) {
            EXPECT_EQ(tree.Record(c.node)->Text, expected);
        }
        EXPECT_EQ(SaveEnabled(), c.kept);
    }
}

TEST_F(ProjectTreeTest, OnlyTheRightButtonOpensThePopupWhereItWasReleased) {
    tree.UserMouseUp(kMouseLeft, 0, 5, 5);
    tree.UserMouseUp(kMouseMiddle, 0, 5, 5);
    tree.UserMouseUp(kMouseRight, 1, 40, 300);  // no tree at all: over empty space
    ASSERT_EQ(window.commands.popups.size(), 1u);
    const auto& popup = window.commands.popups[0];
    EXPECT_EQ(popup.name + L" " + std::to_wstring(popup.x) + L" " + std::to_wstring(popup.y),
              L"mnuTree 40 300");
}

TEST_F(ProjectTreeTest, IncludingEndsOnAReferenceCycleAndCopesWithAVeryDeepChain) {
    for (int32_t parent : {3, 1, 2, 0}) Add(parent, kNodeFolder, L"X");  // K1 > K2 > K3 > K1
    SetItemIncluded(state, ReferenceIndex(*state.DigColl), Record(2), kFlagOff);
    EXPECT_EQ(Included(), L"0001");

    // Deeper than a stack would take recursion, drawn with its last item missing.
    state.DigColl = std::make_shared<ItemCollection>();
    constexpr int32_t kDepth = 100000;
    for (int32_t i = 0; i < kDepth; ++i) Add(i, kNodeFolder, L"DEEP");
    Record(kDepth).Exists = false;
    SetItemIncluded(state, ReferenceIndex(*state.DigColl), Record(1), kFlagOff);
    EXPECT_EQ(Record(kDepth).Included, kFlagOff);
    Build();
    EXPECT_TRUE(tree.Expanded(kDepth));
    EXPECT_EQ(tree.LastRevealed(), kDepth + 1);
}

}  // namespace
}  // namespace prowl
