// The tree's popup through the logic: each registration command reaches the engine with the
// record of the node the user clicked.
#include <gtest/gtest.h>

#include "support/ScriptedLauncher.h"
#include "ui/MainWindowLogic.h"
#include "ui/ProgramCommands.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDialogHost.h"
#include "win32/ComponentFile_win.h"
#include "win32/Drives_win.h"
#include "win32/Locale_win.h"
#include "win32/Registry_win.h"
#include "win32/SystemFacts_win.h"

namespace prowl {
namespace {

using Lines = std::vector<std::wstring>;

class RegistrationCommandsTest : public ::testing::Test {
  protected:
    RegistrationCommandsTest() {
        logic.Start();
        launcher.onStart = [this](const std::wstring& start) {
            // The command line alone, switches and path.
            const std::size_t from = start.find(L'|') + 1;
            starts.push_back(start.substr(from, start.rfind(L'|') - from));
        };
    }
    // A record as a hand-edited project file may hold it: any index, key and reference.
    void Add(int32_t index, const wchar_t* type, const std::wstring& path, const wchar_t* key,
             const wchar_t* reference) {
        state.DigColl->Add(std::make_shared<clsObject>(clsObject{index, 0, type, path, true, key,
                                                                 path.substr(path.rfind(L'\\') + 1),
                                                                 reference, kFlagOn, kFlagOn}));
        if (type != kNodeFolder) window.files.File(path);
    }
    // Clicks the node labelled so, then chooses the popup item.
    void Choose(const std::wstring& label, const wchar_t* item) {
        for (int32_t node = 1; node <= window.tree.Count(); ++node)
            if (window.tree.Text(node) == label) window.tree.UserClick(node);
        logic.OnMenuClick(item);
    }

    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    test::ScriptedLauncher launcher;
    win32::Win32SystemFacts system;
    win32::Win32RegistryReader registry;
    MemoryDialogHost dialogs;
    win32::Win32MachineDrives drives;
    win32::Win32LocaleFormat locale;
    win32::Win32ComponentFiles components;
    ProgramCommands commands{
        logic,
        {window.files, launcher, registry, dialogs, drives, locale, components, system, L""}};
    Lines starts;
};

TEST_F(RegistrationCommandsTest, EachPopupCommandActsOnTheRecordOfTheClickedNode) {
    // Indexes unlike positions, a key used twice and a reference to nothing: d.dll repeats
    // a.dll's key and x.dll names no parent, so both hang under the root after the others
    // (out of P's group run), no node is at position + 1, and no key or index leads to the
    // record its node stands for.
    Add(7, kNodeFolder, L"C:\\P", L"K7", L"K0");
    Add(2, kNodeDll, L"C:\\P\\x.dll", L"K2", L"K9");
    Add(1, kNodeDll, L"C:\\P\\a.dll", L"K4", L"K7");
    Add(4, kNodeFolder, L"C:\\P\\Sub", L"K3", L"K7");
    Add(3, kNodeOcx, L"C:\\P\\Sub\\c.ocx", L"K5", L"K3");
    Add(5, kNodeDll, L"C:\\P\\d.dll", L"K4", L"K7");
    state.SaveFile->StartPath = L"C:\\P";
    logic.ProjectTree().BuildProjectTree(*state.DigColl);

    const struct {
        const wchar_t* label;
        const wchar_t* item;
        Lines starts;
        const wchar_t* panel;
    } cases[] = {
        {L"d.dll",
         L"mnuMe_Reg",
         {L"/U /S \"C:\\P\\d.dll\"", L"/S \"C:\\P\\d.dll\""},
         L"Registered File: C:\\P\\d.dll"},
        {L"x.dll", L"mnuMe_Unreg", {L"/U /S \"C:\\P\\x.dll\""}, L"Unregistered File: C:\\P\\x.dll"},
        {L"Sub",
         L"mnuGroup_Reg",
         {L"/U /S \"C:\\P\\Sub\\c.ocx\"", L"/S \"C:\\P\\Sub\\c.ocx\""},
         L"Done."},
        {L"P",
         L"mnuGroup_Unreg",
         {L"/U /S \"C:\\P\\a.dll\"", L"/U /S \"C:\\P\\Sub\\c.ocx\""},
         L"Done."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        starts.clear();
        Choose(c.label, c.item);
        Lines expected;
        for (const std::wstring& start : c.starts) expected.push_back(L"RegSvr32 " + start);
        EXPECT_EQ(starts, expected);
        EXPECT_EQ(logic.PanelText(kPanelAction), c.panel);
        EXPECT_EQ(state.ProcessMode, kProcessIdle);
        EXPECT_EQ(logic.Pointer(), kPointerArrow);
    }

    // While a scan runs every item only beeps; after a rebuild no node is selected, and a
    // command that arrives anyway (queued before the rebuild) finds nothing to act on.
    starts.clear();
    state.ProcessMode = kProcessNewScan;
    for (const auto& c : cases) Choose(c.label, c.item);
    EXPECT_EQ(window.window.beeps, 4);
    state.ProcessMode = kProcessIdle;
    logic.ProjectTree().BuildProjectTree(*state.DigColl);
    commands.RegisterMe();
    commands.UnregisterMe();
    commands.RegisterGroup();
    commands.UnregisterGroup();
    EXPECT_EQ(starts, Lines{});
}

}  // namespace
}  // namespace prowl
