// The project tree through the main window's logic on the in-memory controls: what is drawn,
// what each user action and key does to the records, and what is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

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
        logic.ProjectTree().SetKeyboard(&gestures, &clipboard);
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
    std::wstring Included() {
        std::wstring flags;
        for (const auto& r : *state.DigColl) flags += r->Included.empty() ? L"_" : r->Included;
        return flags;
    }

    MemoryTreeGestures gestures;
    MemoryClipboard clipboard;
    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    MemoryTreeView& tree = window.tree;
};

TEST_F(ProjectTreeTest, TheProjectIsDrawnWholeAndEachActionAndKeyLandsOnItsNodesRecordOrIsRefused) {
    Add({L"K2<K12 1 TWIN",       // repeats K2, and refers to a later record
         L"K40<K99 1 LOST",      // K99 is nowhere
         L"K12<K40 2 in.dll",    // under the lost folder
         L"K0<K1 2 root.dll"});  // claims the root's key
    Record(2).Included = kFlagOff;
    Record(3).Included = L"";  // only "1" ticks, only "1" expands
    Record(4).Expanded = kFlagOn;
    Record(8).Expanded = L"yes";
    for (int32_t p : {3, 6, 7, 9}) Record(p).Exists = false;
    Record(9).NodeType = L"4";  // a type the tree does not know: no image, no reveal
    window.files.File(L"C:\\a.dll");
    window.files.File(L"C:\\c.ocx");
    window.files.unexaminable = {L"C:\\d.dll"};
    Build();
    // Each node as "parent>key", its image (_ for none), box (x ticked), + if expanded, text.
    Lines dump;
    for (int32_t n = 1; n <= tree.Count(); ++n)
        dump.push_back(std::to_wstring(tree.Parent(n)) + L">" + tree.Key(n) + L" " +
                       (tree.Image(n).empty() ? L"_" : tree.Image(n)) +
                       (tree.Checked(n) ? L"x" : L".") + (tree.Expanded(n) ? L"+ " : L"- ") +
                       tree.Text(n));
    EXPECT_EQ(dump,
              (Lines{L"0>K0 Ax+ Active X Controls (C:\\Tools)", L"1>K1 Ax+ TOOLS",
                     L"2>K2 B.- a.dll", L"2>K3 F.- b.ocx", L"2>K4 Ax+ SUB", L"5>K5 Cx- c.ocx",
                     L"5>K6 Dx+ DEEP", L"7>K7 Ex- d.dll", L"2>K8 Ax- OTHER", L"9>K9 _x- e.dll",
                     L"2> Bx- root.dll", L"1> Ax- TWIN", L"1>K40 Ax- LOST", L"13>K12 Bx- in.dll"}));
    EXPECT_EQ(std::pair(tree.LastRevealed(), state.SaveFile->Altered), std::pair(8, false))
        << "revealing stores nothing";

    // Nodes: 1 root, 2 TOOLS, 3 a.dll, 4 b.ocx (absent), 5 SUB, 6 c.ocx, 7 DEEP, 8 d.dll
    // (unexaminable), 9 OTHER, 10 e.dll, 11 root.dll, 12 TWIN, 13 LOST, 14 in.dll.
    // A key (^ Ctrl, + Shift) or popup item acts on the node clicked just before (0: the tree
    // drawn again, nothing selected); "right" releases the right mouse button at 40,300.
    const struct {
        std::wstring act;
        int32_t node;
        int16_t mode;
        // The records' Included, Save enabled and Altered, then for a tick, expansion or edit
        // the node's label, its record's Text and Expanded (- for none) and txtFilePath; else
        // the selected node, txtFilePath, Me/Group Register and Unregister, File Details,
        // Rename and Copy Path enabled, whether a key was taken, the label edits begun, the
        // clipboard and the popups.
        const wchar_t* want;
    } steps[] = {
        // Each node acts on its own record, whatever its key, even the project's.
        {L"tick", 12, 0, L"10_1111110111 SA TWIN|TWIN|0|"},
        {L"edit RENAMED", 12, 0, L"10_1111110111 SA RENAMED|RENAMED|0|"},
        {L"tick", 11, 0, L"10_1111110110 SA root.dll|root.dll|0|"},
        {L"F2", 0, 0, L"10_1111110110 -- 0 |0000000 1||"},  // nothing selected
        {L"Apps", 0, 0, L"10_1111110110 -- 0 |0000000 1||mnuTree@0,0"},
        {L"^C", 1, 0, L"10_1111110110 -- 1 |0000001 1|C:\\Tools|"},
        {L"mnuTreeCopyPath", 4, 0,
         L"10_1111110110 -- 4 C:\\b.ocx [File Not Found]|1100011 1|C:\\b.ocx|"},
        {L"mnuTreeCopyPath", 8, 0,  // a path the system cannot examine at all
         L"10_1111110110 -- 8 C:\\d.dll [File Not Found]|1100011 1|C:\\d.dll|"},
        {L"Enter", 5, 0, L"10_1111110110 -- 5 |0011011 0||"},  // a folder's Enter is the control's
        // F2 begins an edit that is refused as it ends; the popup's Rename begins none.
        {L"F2", 3, kProcessRescan, L"10_1111110110 -- 3 C:\\a.dll|1100111 13||"},
        {L"mnuTreeRename", 3, kProcessRescan, L"10_1111110110 -- 3 C:\\a.dll|1100111 1||"},
        {L"+F10", 3, kProcessNewScan, L"10_1111110110 -- 3 C:\\a.dll|1100101 1||mnuTree@10,60"},
        {L"C", 3, 0, L"10_1111110110 -- 3 C:\\a.dll|1100111 0||"},
        {L"F10", 3, 0, L"10_1111110110 -- 3 C:\\a.dll|1100111 0||"},  // the menu bar's
        {L"right", 0, 0, L"10_1111110110 -- 3 C:\\a.dll|1100111 1||mnuTree@40,300"},
        {L"tick", 5, 0, L"10_0000110110 SA SUB|SUB|1|C:\\a.dll"},
        {L"tick", 8, 0, L"10_0001110110 SA d.dll|d.dll|0|C:\\a.dll"},
        {L"tick", 1, 0, L"10_0001110110 S- Active X Controls (C:\\Tools)|-|C:\\a.dll"},
        {L"tick", 2, kProcessNewScan, L"10_0001110110 -- TOOLS|TOOLS|0|C:\\a.dll"},
        {L"tick", 2, kProcessGroupRegister, L"0000000000110 SA TOOLS|TOOLS|0|C:\\a.dll"},
        {L"collapse", 2, 0, L"0000000000110 SA TOOLS|TOOLS|0|"},
        {L"expand", 2, 0, L"0000000000110 SA TOOLS|TOOLS|1|"},
        {L"collapse", 2, kProcessRescan, L"0000000000110 -- TOOLS|TOOLS|1|"},
        {L"edit renamed.dll", 3, 0, L"0000000000110 SA renamed.dll|renamed.dll|0|"},
        {L"cancel", 3, 0, L"0000000000110 -- renamed.dll|renamed.dll|0|"},
        {L"edit ", 5, kProcessGroupUnregister, L"0000000000110 SA ||1|"},
        {L"edit Scanning", 5, kProcessNewScan, L"0000000000110 -- ||1|"},
        {L"edit My tools", 1, 0, L"0000000000110 S- My tools|-|"},
    };
    const std::wstring names[] = {L"Enter", L"C", L"F2", L"F10", L"Apps"};
    const uint32_t codes[] = {kKeyEnter, kKeyC, kKeyF2, kKeyF10, kKeyApps};
    for (const auto& s : steps) {
        const std::wstring act = s.act.substr(s.act.find_first_not_of(L"^+"));
        const auto code = std::find(std::begin(names), std::end(names), act) - std::begin(names);
        const bool key = code < 5, picks = key || act.starts_with(L"mnu");
        logic.SetProcess(kProcessIdle);
        if (picks) s.node ? tree.UserClick(s.node) : Build();
        logic.SetProcess(s.mode);
        logic.SaveSucceeded(logic.BeginSave());
        if (act == L"tick") tree.UserToggleCheck(s.node);
        if (act == L"expand") tree.UserExpand(s.node);
        if (act == L"collapse") tree.UserCollapse(s.node);
        if (act.starts_with(L"edit ")) tree.UserEditLabel(s.node, act.substr(5));
        if (act == L"cancel") tree.UserCancelLabelEdit(s.node);
        if (act.starts_with(L"mnu")) logic.OnMenuClick(act);
        if (act == L"right") tree.UserMouseUp(kMouseRight, 1, 40, 300);
        const auto k = TreeKeyFor(key ? codes[code] : 0, s.act[0] == L'^', s.act[0] == L'+', false);
        const bool taken = !key || (k && logic.ProjectTree().OnKey(*k));
        std::wstring shows = Included() + L" " +
                             (logic.MenuItem(L"mnuFileSave").enabled ? L"S" : L"-") +
                             (std::exchange(state.SaveFile->Altered, false) ? L"A " : L"- ");
        if (s.node && !picks) {
            const ObjectRef r = tree.Record(s.node);
            shows += tree.Text(s.node) + L"|" + (r ? r->Text + L"|" + r->Expanded : L"-") + L"|" +
                     window.filePath.Text();
        } else {
            shows += std::to_wstring(logic.ProjectTree().SelectedNodeIndex()) + L" " +
                     window.filePath.Text() + L"|";
            for (const auto* item :
                 {L"mnuMe_Reg", L"mnuMe_Unreg", L"mnuGroup_Reg", L"mnuGroup_Unreg",
                  L"mnuTreeDetails", L"mnuTreeRename", L"mnuTreeCopyPath"})
                shows += logic.MenuItem(item).enabled ? L"1" : L"0";
            shows += taken ? L" 1" : L" 0";
            for (int32_t node : std::exchange(gestures.edits, {})) shows += std::to_wstring(node);
            shows += L"|" + std::exchange(clipboard.text, L"") + L"|";
            for (const auto& p : std::exchange(window.commands.popups, {}))
                shows += p.name + L"@" + std::to_wstring(p.x) + L"," + std::to_wstring(p.y);
        }
        EXPECT_EQ(shows, s.want) << testing::PrintToString(s.act);
        EXPECT_EQ(logic.Pointer(), kPointerArrow);
    }
    clipboard.held = true;
    window.prompts.messageAnswers = {MsgAnswer::Ok};
    logic.ProjectTree().OnKey(TreeKey::CopyPath);
    EXPECT_EQ(window.prompts.messages.size(), 1u) << "a held clipboard is reported";
}

// Deeper than a stack would take recursion, with keys no scan makes and its last item missing.
TEST_F(ProjectTreeTest, AChainDeeperThanAStackIsDrawnRevealedAndUntickedWhole) {
    state.DigColl = std::make_shared<ItemCollection>();
    constexpr int32_t kDepth = 100000;
    for (int32_t i = 1; i <= kDepth; ++i)
        Add({(L"D" + std::to_wstring(i) + L"<D" + std::to_wstring(i - 1) + L" 1 D").c_str()});
    Record(1).Reference = kRootKey;
    Record(kDepth).Exists = false;
    Build();
    EXPECT_EQ(std::tuple(tree.Parent(kDepth + 1), tree.Expanded(kDepth), tree.LastRevealed()),
              std::tuple(kDepth, true, kDepth + 1));
    tree.UserToggleCheck(2);
    EXPECT_EQ(Record(kDepth).Included, kFlagOff);
}

}  // namespace
}  // namespace prowl
