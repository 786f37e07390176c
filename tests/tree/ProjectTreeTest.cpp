// The project tree through the main window's logic on the in-memory controls: what is drawn,
// what each user action does to the records, and what is refused.
#include <gtest/gtest.h>

#include <algorithm>

#include "tree/ProjectTreeBuilder.h"
#include "ui/MainWindowLogic.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryTreeKeys.h"

namespace prowl {
namespace {

using Lines = std::vector<std::wstring>;

// Scanned from C:\Tools: 1 TOOLS, 2 a.dll, 3 b.ocx, 4 SUB, 5 c.ocx, 6 DEEP, 7 d.dll, 8 OTHER,
// 9 e.dll. Each line is "Key<Reference NodeType Text".
const std::initializer_list<const wchar_t*> kScanned = {
    L"K1<K0 1 TOOLS", L"K2<K1 2 a.dll", L"K3<K1 3 b.ocx", L"K4<K1 1 SUB",  L"K5<K4 3 c.ocx",
    L"K6<K4 1 DEEP",  L"K7<K6 2 d.dll", L"K8<K1 1 OTHER", L"K9<K8 2 e.dll"};

class ProjectTreeTest : public ::testing::Test {
  protected:
    ProjectTreeTest() {
        logic.Start();
        state.SaveFile->StartPath = L"C:\\Tools";
        Add(kScanned);
    }
    // Included, collapsed and present, at C:\ + Text.
    void Add(std::initializer_list<const wchar_t*> lines) {
        for (std::wstring line : lines) {
            const auto lt = line.find(L'<'), sp = line.find(L' '), sp2 = line.find(L' ', sp + 1);
            state.DigColl->Add(std::make_shared<clsObject>(clsObject{
                state.DigColl->Count() + 1, 0, line.substr(sp + 1, sp2 - sp - 1),
                L"C:\\" + line.substr(sp2 + 1), true, line.substr(0, lt), line.substr(sp2 + 1),
                line.substr(lt + 1, sp - lt - 1), kFlagOn, kFlagOff}));
        }
    }
    void Build() { logic.ProjectTree().BuildProjectTree(*state.DigColl); }
    clsObject& Record(int32_t position) { return *state.DigColl->Item(position); }
    // Each node as "parent>key", its image (_ for none), box (x ticked), + if expanded, text.
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
        for (const auto& r : *state.DigColl) flags += r->Included.empty() ? L"_" : r->Included;
        return flags;
    }

    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    MemoryTreeView& tree = window.tree;
};

TEST_F(ProjectTreeTest, TheProjectIsDrawnWholeUnderItsRootWithEveryMissingItemRevealed) {
    state.DigColl = std::make_shared<ItemCollection>();
    Build();
    EXPECT_EQ(Dump(), Lines{L"0>K0 Ax+ Active X Controls (C:\\Tools)"});
    EXPECT_TRUE(tree.Bold(1));

    Add(kScanned);
    Add({L"K2<K1 1 TWIN",         // repeats K2
         L"K40<K99 1 LOST",       // K99 is nowhere
         L"K12<K40 2 found.dll",  // under the lost folder
         L"K13<K14 2 ahead.dll",  // K14 comes later
         L"K14<K1 1 LATER", L"K0<K1 2 root.dll", L"K18<K18 2 self.dll"});
    Record(2).Included = kFlagOff;
    Record(3).Included = L"";  // only "1" ticks, only "1" expands
    Record(4).Expanded = kFlagOn;
    Record(6).Expanded = L"yes";
    for (int32_t p : {3, 6, 7, 9}) Record(p).Exists = false;
    Record(9).NodeType = L"4";  // a type the tree does not know: no image, no reveal
    Build();
    EXPECT_EQ(Dump(),
              (Lines{L"0>K0 Ax+ Active X Controls (C:\\Tools)", L"1>K1 Ax+ TOOLS",
                     L"2>K2 B.- a.dll", L"2>K3 F.- b.ocx", L"2>K4 Ax+ SUB", L"5>K5 Cx- c.ocx",
                     L"5>K6 Dx+ DEEP", L"7>K7 Ex- d.dll", L"2>K8 Ax- OTHER", L"9>K9 _x- e.dll",
                     L"2> Ax- TWIN", L"2>K14 Ax- LATER", L"2> Bx- root.dll", L"1>K40 Ax- LOST",
                     L"14>K12 Bx- found.dll", L"1>K13 Bx- ahead.dll", L"1>K18 Bx- self.dll"}));
    EXPECT_EQ(tree.LastRevealed(), 8);
    EXPECT_EQ(Record(1).Expanded + Record(6).Expanded, L"0yes") << "revealing stores nothing";
    EXPECT_FALSE(state.SaveFile->Altered);

    // Each node acts on its own record, whatever its key.
    tree.UserClick(11);
    EXPECT_TRUE(logic.ProjectTree().SelectedRecord() == state.DigColl->Item(10) &&
                logic.MenuItem(L"mnuGroup_Reg").enabled);
    tree.UserToggleCheck(11);
    tree.UserEditLabel(11, L"RENAMED");
    EXPECT_EQ(Record(10).Included + Record(10).Text + Record(2).Text, L"0RENAMEDa.dll");
    tree.UserToggleCheck(13);  // claims the root's key, yet is not the project
    EXPECT_EQ(Included(), L"10_1111110111101");
}

TEST_F(ProjectTreeTest, EachUserActionLandsOnTheRecordOfItsNodeOrIsRefused) {
    window.files.File(L"C:\\a.dll");
    window.files.File(L"C:\\c.ocx");
    window.files.unexaminable = {L"C:\\d.dll"};
    Record(5).Exists = false;  // the disk at the moment of the click counts
    Record(9).NodeType = L"";
    Build();
    // Nodes: 1 root, 2 TOOLS, 3 a.dll, 4 b.ocx, 5 SUB, 6 c.ocx, 7 DEEP, 8 d.dll, 9 OTHER, 10 e.dll
    const struct {
        const wchar_t* act;
        int32_t node;
        std::wstring text;
        int16_t mode;
        // The records' Included, Save enabled and Altered, then what the action shows: for a
        // click the selected node, txtFilePath and Me/Group/File Details/File Properties; for
        // a tick the boxes; for expand or collapse the record's Expanded and txtFilePath; for
        // an edit the label and the record's Text (- for no record).
        std::wstring want;
    } steps[] = {
        {L"click", 1, L"", 0, L"111111111 -- 1 |000000"},
        {L"click", 3, L"", 0, L"111111111 -- 3 C:\\a.dll|110011"},
        {L"click", 5, L"", 0, L"111111111 -- 5 |001100"},
        {L"click", 4, L"", 0, L"111111111 -- 4 C:\\b.ocx [File Not Found]|110000"},
        {L"click", 8, L"", 0, L"111111111 -- 8 C:\\d.dll [File Not Found]|110000"},
        {L"click", 10, L"", 0, L"111111111 -- 10 C:\\e.dll [File Not Found]|000000"},
        {L"build", 0, L"", 0, L"111111111 -- 0 |000000"},
        {L"tick", 5, L"", 0, L"111000011 SA 1111000011"},
        {L"tick", 8, L"", 0, L"111000111 SA 1111000111"},
        {L"report", 3, L"", 0, L"111000111 -- 1111000111"},  // a report equal to the record
        {L"tick", 1, L"", 0, L"111000111 S- 0111000111"},    // the root: no record
        {L"tick", 2, L"", kProcessNewScan, L"111000111 -- 0111000111"},
        {L"tick", 2, L"", kProcessGroupRegister, L"000000000 SA 0000000000"},
        {L"collapse", 2, L"", 0, L"000000000 SA 0|"},
        {L"expand", 2, L"", 0, L"000000000 SA 1|"},
        {L"collapse", 2, L"", kProcessRescan, L"000000000 -- 1|"},
        {L"edit", 3, L"renamed.dll", 0, L"000000000 SA renamed.dll|renamed.dll"},
        {L"cancel", 3, L"", 0, L"000000000 -- renamed.dll|renamed.dll"},
        {L"edit", 5, L"Tab\there", 0, L"000000000 -- SUB|SUB"},
        {L"edit", 5, std::wstring(L"nul\0", 4), 0, L"000000000 -- SUB|SUB"},
        {L"edit", 5, L"", kProcessGroupUnregister, L"000000000 SA |"},
        {L"edit", 5, L"Scanning", kProcessNewScan, L"000000000 -- |"},
        {L"edit", 1, L"My tools", 0, L"000000000 S- My tools|-"},
    };
    tree.UserClick(4);  // an edit acts on the edited node, not on the one clicked last
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(s.act) + L" " + std::to_wstring(s.node)));
        logic.SetProcess(s.mode);
        logic.SaveSucceeded(logic.BeginSave());
        state.SaveFile->Altered = false;
        const std::wstring act = s.act;
        const clsObject* record = s.node > 1 ? tree.Record(s.node).get() : nullptr;
        std::wstring shows;
        if (act == L"click" || act == L"build") {
            act == L"click" ? tree.UserClick(s.node) : Build();
            shows = std::to_wstring(logic.ProjectTree().SelectedNodeIndex()) + L" " +
                    window.filePath.Text() + L"|";
            for (const auto* item : {L"mnuMe_Reg", L"mnuMe_Unreg", L"mnuGroup_Reg",
                                     L"mnuGroup_Unreg", L"mnuTreeDetails", L"mnuViewFile"})
                shows += logic.MenuItem(item).enabled ? L"1" : L"0";
        } else if (act == L"tick" || act == L"report") {
            act == L"tick" ? tree.UserToggleCheck(s.node) : logic.ProjectTree().NodeCheck(s.node);
            for (int32_t n = 1; n <= tree.Count(); ++n) shows += tree.Checked(n) ? L"1" : L"0";
        } else if (act == L"expand" || act == L"collapse") {
            act == L"expand" ? tree.UserExpand(s.node) : tree.UserCollapse(s.node);
            shows = (record ? record->Expanded : L"-") + L"|" + window.filePath.Text();
        } else {
            act == L"edit" ? tree.UserEditLabel(s.node, s.text) : tree.UserCancelLabelEdit(s.node);
            shows = tree.Text(s.node) + L"|" + (record ? record->Text : L"-");
        }
        EXPECT_EQ(Included() + L" " + (logic.MenuItem(L"mnuFileSave").enabled ? L"S" : L"-") +
                      (state.SaveFile->Altered ? L"A " : L"- ") + shows,
                  s.want);
        EXPECT_EQ(logic.Pointer(), kPointerArrow);
    }
    const auto& pointers = window.window.pointers;
    EXPECT_NE(std::count(pointers.begin(), pointers.end(), kPointerHourglass), 0);
}

TEST_F(ProjectTreeTest, IncludingEndsOnAReferenceCycleAndCopesWithAVeryDeepChain) {
    state.DigColl = std::make_shared<ItemCollection>();
    Add({L"K1<K3 1 A", L"K2<K1 1 B", L"K3<K2 1 C", L"K4<K0 1 D"});
    SetItemIncluded(state, ReferenceIndex(*state.DigColl), Record(2), kFlagOff);
    EXPECT_EQ(Included(), L"0001");

    // Deeper than a stack would take recursion, with keys no scan makes, drawn with its last
    // item missing; beside it one record that is not part of the chain.
    state.DigColl = std::make_shared<ItemCollection>();
    constexpr int32_t kDepth = 100000;
    for (int32_t i = 1; i <= kDepth; ++i)
        Add({(L"D" + std::to_wstring(i) + L"<D" + std::to_wstring(i - 1) + L" 1 D").c_str()});
    Record(1).Reference = kRootKey;
    Add({L"E<K0 1 E"});
    Record(kDepth).Exists = false;
    SetItemIncluded(state, ReferenceIndex(*state.DigColl), Record(1), kFlagOff);
    EXPECT_EQ(Record(kDepth).Included + Record(kDepth + 1).Included, L"01");
    Build();
    int32_t chained = 0;
    for (int32_t n = 2; n <= kDepth + 1; ++n) chained += tree.Parent(n) == n - 1;
    EXPECT_EQ(chained, kDepth);
    EXPECT_TRUE(tree.Expanded(kDepth));
    EXPECT_EQ(tree.LastRevealed(), kDepth + 1);
}

TEST_F(ProjectTreeTest, KeysAndTheirPopupItemsActOnTheSelectedNode) {
    struct : MainWindowCommands {
        void ShowFileDetails() override { ++details; }
        int details = 0;
    } commands;
    logic.SetCommands(&commands);
    MemoryTreeGestures gestures;
    MemoryClipboard clipboard;
    logic.ProjectTree().SetKeyboard(&gestures, &clipboard);
    window.files.File(L"C:\\a.dll");
    Build();
    // Nodes: 1 root, 2 TOOLS, 3 a.dll, 4 b.ocx (absent), 5 SUB.
    const struct {
        int32_t node;  // clicked first; 0: none since the drawing
        int16_t mode;
        const wchar_t* key;  // F2, ^C, Menu, Enter, or a popup item
        // Rename and Copy Path enabled, whether the key was taken, then what it did: the
        // label edits begun, the clipboard, the popup's place, File Details shown.
        const wchar_t* want;
    } steps[] = {
        {0, 0, L"F2", L"00 1 |||0"},
        {0, 0, L"Menu", L"00 1 ||0,0|0"},
        {0, 0, L"Enter", L"00 0 |||0"},
        {1, 0, L"^C", L"01 1 |C:\\Tools||0"},
        {1, 0, L"Menu", L"01 1 ||10,20|0"},
        {3, 0, L"F2", L"11 1 3|||0"},
        {3, 0, L"^C", L"11 1 |C:\\a.dll||0"},
        {4, 0, L"mnuTreeCopyPath", L"11 1 |C:\\b.ocx||0"},
        {3, 0, L"Enter", L"11 1 |||1"},
        {4, 0, L"Enter", L"11 1 |||0"},             // no details of a file that is not there
        {5, 0, L"Enter", L"11 0 |||0"},             // a folder's Enter is the control's
        {3, kProcessRescan, L"F2", L"11 1 3|||0"},  // refused when the edit ends
        {3, kProcessRescan, L"mnuTreeRename", L"11 1 |||0"},
        {3, kProcessNewScan, L"Menu", L"01 1 ||10,60|0"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::PrintToString(std::to_wstring(s.node) + L" " + s.key));
        logic.SetProcess(kProcessIdle);
        s.node ? tree.UserClick(s.node) : Build();
        logic.SetProcess(s.mode);
        gestures.edits.clear();
        clipboard.text.clear();
        window.commands.popups.clear();
        commands.details = 0;
        const std::wstring key = s.key;
        bool taken = true;
        if (key.rfind(L"mnu", 0) == 0)
            logic.OnMenuClick(key);
        else
            taken = logic.ProjectTree().OnKey(key == L"F2"     ? TreeKey::Rename
                                              : key == L"^C"   ? TreeKey::CopyPath
                                              : key == L"Menu" ? TreeKey::Popup
                                                               : TreeKey::Open);
        std::wstring shows = std::wstring(logic.MenuItem(L"mnuTreeRename").enabled ? L"1" : L"0") +
                             (logic.MenuItem(L"mnuTreeCopyPath").enabled ? L"1" : L"0") +
                             (taken ? L" 1 " : L" 0 ");
        for (int32_t node : gestures.edits) shows += std::to_wstring(node);
        shows += L"|" + clipboard.text + L"|";
        for (const auto& popup : window.commands.popups)
            shows += std::to_wstring(popup.x) + L"," + std::to_wstring(popup.y);
        EXPECT_EQ(shows + L"|" + std::to_wstring(commands.details), s.want);
    }
    logic.SetProcess(kProcessIdle);
    window.commands.popups.clear();
    tree.UserMouseUp(kMouseLeft, 0, 5, 5);
    tree.UserMouseUp(kMouseRight, 1, 40, 300);  // only the right button, where it was released
    const auto& popups = window.commands.popups;
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(std::tuple(popups[0].name, popups[0].x, popups[0].y),
              std::tuple(L"mnuTree", 40, 300));
    clipboard.held = true;
    window.prompts.messageAnswers = {MsgAnswer::Ok};
    logic.ProjectTree().OnKey(TreeKey::CopyPath);
    ASSERT_EQ(window.prompts.messages.size(), 1u);
    EXPECT_EQ(window.prompts.messages[0].text, L"The clipboard is held by another program.");

    // Only the tree's own keys and modifiers are taken.
    const std::tuple<uint32_t, bool, bool, bool, std::optional<TreeKey>> cases[] = {
        {kKeyF2, false, false, false, TreeKey::Rename},
        {kKeyC, true, false, false, TreeKey::CopyPath},
        {kKeyEnter, false, false, false, TreeKey::Open},
        {kKeyC, false, false, false, std::nullopt},
        {kKeyEnter, true, false, false, std::nullopt},
        {kKeyF10, false, true, false, TreeKey::Popup},
        {kKeyApps, false, false, false, TreeKey::Popup},
        {kKeyF10, false, false, false, std::nullopt},  // the menu bar's
    };
    for (const auto& [key, ctrl, shift, alt, expected] : cases)
        EXPECT_EQ(TreeKeyFor(key, ctrl, shift, alt), expected) << key << ctrl << shift << alt;
}

}  // namespace
}  // namespace prowl
