#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/MainWindowLogic.h"
#include "ui/memory/MemoryControls.h"

namespace prowl {
namespace {

class RecordingCommands : public MainWindowCommands {
  public:
    void NewProject() override { calls.push_back("New"); }
    void OpenProject() override { calls.push_back("Open"); }
    bool SaveProject() override {
        calls.push_back("Save");
        return true;
    }
    void ReprowlProject() override { calls.push_back("Reprowl"); }
    void RegisterMe() override { calls.push_back("RegisterMe"); }
    void UnregisterMe() override { calls.push_back("UnregisterMe"); }
    void RegisterGroup() override { calls.push_back("RegisterGroup"); }
    void UnregisterGroup() override { calls.push_back("UnregisterGroup"); }
    void ShowFileDetails() override { calls.push_back("FileDetails"); }
    void ShowProjectDetails() override { calls.push_back("ProjectDetails"); }
    void ShowAbout() override { calls.push_back("About"); }
    bool CanClose() override {
        calls.push_back("CanClose");
        return canClose;
    }
    std::vector<std::string> calls;
    bool canClose = true;
};

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        logic.Start();
        logic.SetCommands(&commands);
    }
    // Enables every command item, as a loaded project with a file selected would.
    void EnableAll() {
        logic.EnableSave(true);
        logic.EnableReprowl(true);
        logic.EnableFileDetails(true);
        for (const auto* name : {L"mnuMe_Reg", L"mnuMe_Unreg", L"mnuGroup_Reg", L"mnuGroup_Unreg"})
            logic.SetMenuItemEnabled(name, true);
    }

    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    RecordingCommands commands;
};

// ---------------------------------------------------------------------------------------
// Start state

TEST_F(MainWindowTest, ToolbarStartsWithItsDesignedButtons) {
    struct Row {
        bool separator;
        const wchar_t *key, *caption, *tooltip;
        int32_t image;
        bool enabled;
    };
    const Row rows[] = {
        {false, L"New", L"New", L"New Project", 1, true},
        {false, L"Open", L"Open", L"Open Project", 2, true},
        {false, L"Save", L"Save", L"Save Project", 3, false},
        {false, L"Re-Dig", L"Re-Prowl", L"Search for new ActiveX objects within project path", 4,
         false},
        {true, L"", L"", L"", 0, true},
        {false, L"Stop", L"Stop", L"Stop Current Process", 5, false},
    };
    ASSERT_EQ(logic.Buttons().size(), 6u);
    for (int32_t i = 1; i <= 6; ++i) {
        SCOPED_TRACE(i);
        const Row& r = rows[i - 1];
        for (const auto& b : {logic.Button(i), window.commands.Button(i)}) {
            EXPECT_EQ(b.index, i);
            EXPECT_EQ(b.separator, r.separator);
            EXPECT_EQ(b.key, r.key);
            EXPECT_EQ(b.caption, r.caption);
            EXPECT_EQ(b.tooltip, r.tooltip);
            if (!r.separator) {
                EXPECT_EQ(b.image, r.image);
                EXPECT_EQ(b.enabled, r.enabled);
            }
        }
    }
}

TEST_F(MainWindowTest, MenusStartWithTheirDesignedItems) {
    struct Row {
        const wchar_t *name, *parent, *caption;
        bool enabled, visible;
    };
    const Row rows[] = {
        {L"mnuTree", L"", L"Tree", true, false},
        {L"mnuMe_Reg", L"mnuTree", L"Register Me", false, true},
        {L"mnuMe_Unreg", L"mnuTree", L"Unregister Me", false, true},
        {L"mnuSpace1", L"mnuTree", L"-", true, true},
        {L"mnuGroup_Reg", L"mnuTree", L"Register Group", false, true},
        {L"mnuGroup_Unreg", L"mnuTree", L"Unregister Group", false, true},
        {L"mnuSpacer4", L"mnuTree", L"-", true, true},
        {L"mnuTreeDetails", L"mnuTree", L"&File Details...", false, true},
        {L"mnuFile", L"", L"&File", true, true},
        {L"mnuFileNew", L"mnuFile", L"&New", true, true},
        {L"mnuFileOpen", L"mnuFile", L"&Open", true, true},
        {L"mnuFileSave", L"mnuFile", L"&Save", false, true},
        {L"mnuSpacer2", L"mnuFile", L"-", true, true},
        {L"mnuFileReprowl", L"mnuFile", L"&Re-Prowl", false, true},
        {L"mnuSpacer3", L"mnuFile", L"-", true, true},
        {L"mnuFileExit", L"mnuFile", L"E&xit", true, true},
        {L"mnuView", L"", L"&View", true, true},
        {L"mnuViewFile", L"mnuView", L"&File Properties", false, true},
        {L"mnuViewProject", L"mnuView", L"&Project Details", false, true},
        {L"mnuHelp", L"", L"&Help", true, true},
        {L"mnuHelpAbout", L"mnuHelp", L"About ActiveX Prowl", true, true},
    };
    const auto& items = logic.MenuItems();
    ASSERT_EQ(items.size(), std::size(rows));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE(testing::PrintToString(std::wstring(r.name)));
        for (const auto& m : {items[i], window.commands.MenuItem(r.name)}) {
            EXPECT_EQ(m.name, r.name);
            EXPECT_EQ(m.parent, r.parent);
            EXPECT_EQ(m.caption, r.caption);
            if (m.caption != L"-") {
                EXPECT_EQ(m.enabled, r.enabled);
            }
            EXPECT_EQ(m.visible, r.visible);
        }
    }
    EXPECT_EQ(window.commands.builds, 1);
}

TEST_F(MainWindowTest, PanelsProgressTextBoxPointerAndTreeStartIdle) {
    EXPECT_EQ(logic.PanelText(1), L"Source File: None");
    EXPECT_EQ(logic.PanelText(2), L"Ready");
    EXPECT_EQ(window.panels.PanelText(1), L"Source File: None");
    EXPECT_EQ(window.panels.PanelText(2), L"Ready");
    EXPECT_FALSE(logic.Progress().visible);
    EXPECT_FALSE(window.progress.State().visible);
    EXPECT_EQ(logic.FilePath(), L"");
    EXPECT_EQ(window.filePath.Text(), L"");
    EXPECT_EQ(logic.Pointer(), kPointerArrow);
    ASSERT_FALSE(window.window.pointers.empty());
    EXPECT_EQ(window.window.pointers.back(), kPointerArrow);
    EXPECT_EQ(window.tree.Count(), 0);
    EXPECT_EQ(state.ProcessMode, kProcessIdle);
    EXPECT_FALSE(logic.Busy());
    EXPECT_EQ(window.window.pumps, 0) << "starting up runs no command";
}

// ---------------------------------------------------------------------------------------
// Status panels

TEST_F(MainWindowTest, SourceFilePanelShowsTheNameOrTheNewProjectMarker) {
    logic.StatusBar_Update(1, L"C:\\Projects\\tools.PRW");
    EXPECT_EQ(logic.PanelText(1), L"Source File: C:\\Projects\\tools.PRW");
    logic.StatusBar_Update(1, L"");
    EXPECT_EQ(logic.PanelText(1), L"Source File: ** New ActiveX Prowl File **");
    logic.StatusBar_Update(1, L" ");
    EXPECT_EQ(logic.PanelText(1), L"Source File:  ") << "a blank is a name, not empty";
    EXPECT_EQ(window.panels.PanelText(1), L"Source File:  ");
    EXPECT_EQ(logic.PanelText(2), L"Ready");
}

TEST_F(MainWindowTest, ActionPanelShowsTheTextUnchangedEvenEmpty) {
    logic.StatusBar_Update(2, L"  Scanning: C:\\Windows\\  ");
    EXPECT_EQ(logic.PanelText(2), L"  Scanning: C:\\Windows\\  ");
    logic.StatusBar_Update(2, L"");
    EXPECT_EQ(logic.PanelText(2), L"");
    EXPECT_EQ(window.panels.PanelText(2), L"");
    EXPECT_EQ(logic.PanelText(1), L"Source File: None");
}

TEST_F(MainWindowTest, AnyOtherPanelIndexChangesNoTextButStillProcessesMessages) {
    const auto textsBefore = window.panels.history.size();
    for (int32_t index : {0, 3, -1, 1000}) logic.StatusBar_Update(index, L"ignored");
    EXPECT_EQ(window.panels.history.size(), textsBefore);
    EXPECT_EQ(logic.PanelText(1), L"Source File: None");
    EXPECT_EQ(logic.PanelText(2), L"Ready");
    EXPECT_EQ(window.window.pumps, 4);
}

TEST_F(MainWindowTest, EveryStatusTextReachesThePanelsInOrderAndEachCallPumpsOnce) {
    for (int i = 0; i < 500; ++i) logic.StatusBar_Update(2, L"Folder " + std::to_wstring(i));
    logic.StatusBar_Update(1, L"");
    ASSERT_EQ(window.panels.history.size(), 2u + 501u);  // two from start-up
    EXPECT_EQ(window.panels.history[2], (std::pair<int32_t, std::wstring>{2, L"Folder 0"}));
    EXPECT_EQ(window.panels.history[501].second, L"Folder 499");
    EXPECT_EQ(window.panels.history.back().first, 1);
    EXPECT_EQ(window.window.pumps, 501);
}

// ---------------------------------------------------------------------------------------
// Progress bar

TEST_F(MainWindowTest, ProgressIncrementsStopAtTheMaximum) {
    logic.ProgressBar_Show(true, 10);
    for (int i = 0; i < 3; ++i) logic.ProgressBar_Increment(4);
    EXPECT_EQ(logic.Progress().value, 10.0f);
    EXPECT_EQ(window.progress.State().value, 10.0f);
    logic.ProgressBar_Show(true, 10);
    logic.ProgressBar_Increment(7);
    logic.ProgressBar_Increment(3);
    EXPECT_EQ(logic.Progress().value, 10.0f) << "reaching the maximum exactly is allowed";
    logic.ProgressBar_Show(true, 10);
    logic.ProgressBar_Increment(8);
    logic.ProgressBar_Increment(3);
    EXPECT_EQ(logic.Progress().value, 10.0f) << "one over is clamped";
    logic.ProgressBar_Increment(-25);
    EXPECT_EQ(logic.Progress().value, 0.0f) << "a bar shows nothing below its minimum";
    EXPECT_EQ(window.window.pumps, 11) << "showing and each increment process messages";
}

TEST_F(MainWindowTest, ShowingResetsTheValueAndHidingKeepsValueAndMaximum) {
    logic.ProgressBar_Show(true, 10);
    logic.ProgressBar_Increment(3);
    logic.ProgressBar_Show(false, 99);
    EXPECT_FALSE(logic.Progress().visible);
    EXPECT_EQ(logic.Progress().value, 3.0f);
    EXPECT_EQ(logic.Progress().maximum, 10.0f);
    EXPECT_FALSE(window.progress.State().visible);
    EXPECT_EQ(window.progress.State().maximum, 10.0f);

    logic.ProgressBar_Show(true, 50);
    EXPECT_TRUE(window.progress.State().visible);
    EXPECT_EQ(logic.Progress().value, 0.0f);
    EXPECT_EQ(logic.Progress().maximum, 50.0f);
}

TEST_F(MainWindowTest, TheMaximumIsHeldInSinglePrecision) {
    logic.ProgressBar_Show(true, 16777217);  // 2^24 + 1 has no float
    EXPECT_EQ(logic.Progress().maximum, 16777216.0f);
    logic.ProgressBar_Increment(16777217);
    EXPECT_EQ(logic.Progress().value, logic.Progress().maximum);
}

// ---------------------------------------------------------------------------------------
// Process mode and Stop

TEST_F(MainWindowTest, SetProcessWritesTheModeAndSwitchesOnlyStop) {
    for (int16_t mode :
         {kProcessNewScan, kProcessRescan, kProcessGroupRegister, kProcessGroupUnregister}) {
        logic.SetProcess(mode);
        EXPECT_EQ(state.ProcessMode, mode);
        EXPECT_TRUE(logic.Button(kButtonStop).enabled);
        EXPECT_TRUE(window.commands.Button(kButtonStop).enabled);
        EXPECT_TRUE(logic.Button(kButtonNew).enabled) << "commands guard themselves";
        logic.SetProcess(kProcessIdle);
        EXPECT_EQ(state.ProcessMode, kProcessIdle);
        EXPECT_FALSE(window.commands.Button(kButtonStop).enabled);
    }
}

struct ProjectSnapshot {
    explicit ProjectSnapshot(const ProjectState& s)
        : dig(s.DigColl), save(s.SaveFile), preDig(s.PreDigColl), preSave(s.PreSaveFile) {}
    CollectionRef dig;
    SaveFileRef save;
    CollectionRef preDig;
    SaveFileRef preSave;
};

class StopTest : public MainWindowTest {
  protected:
    StopTest() {
        state.DigColl->Add(std::make_shared<clsObject>());
        state.SaveFile->StartPath = L"C:\\Half";
        state.PreDigColl->Add(std::make_shared<clsObject>());
        state.PreDigColl->Add(std::make_shared<clsObject>());
        state.PreSaveFile->StartPath = L"C:\\Before";
    }
    ProjectSnapshot before{state};
};

TEST_F(StopTest, StoppingANewScanDropsTheHalfBuiltProject) {
    logic.SetProcess(kProcessNewScan);
    logic.StopProcess();
    EXPECT_EQ(state.ProcessMode, kProcessIdle);
    EXPECT_FALSE(logic.Button(kButtonStop).enabled);
    EXPECT_NE(state.DigColl, before.dig);
    EXPECT_NE(state.SaveFile, before.save);
    EXPECT_EQ(state.DigColl->Count(), 0);
    EXPECT_EQ(state.SaveFile->StartPath, L"");
    EXPECT_EQ(before.dig->Count(), 1) << "a holder of the old collection keeps it";
    EXPECT_EQ(state.PreDigColl, before.preDig);
    EXPECT_EQ(state.PreSaveFile, before.preSave);
}

TEST_F(StopTest, StoppingARescanRestoresTheProjectPutAside) {
    logic.SetProcess(kProcessRescan);
    logic.StopProcess();
    EXPECT_EQ(state.ProcessMode, kProcessIdle);
    EXPECT_FALSE(logic.Button(kButtonStop).enabled);
    EXPECT_EQ(state.DigColl, before.preDig);
    EXPECT_EQ(state.SaveFile, before.preSave);
    EXPECT_EQ(state.DigColl->Count(), 2);
    EXPECT_EQ(state.SaveFile->StartPath, L"C:\\Before");
}

TEST_F(StopTest, StoppingAGroupRunOrNothingReplacesNoProjectData) {
    for (int16_t mode : {kProcessGroupRegister, kProcessGroupUnregister, kProcessIdle}) {
        SCOPED_TRACE(mode);
        logic.SetProcess(mode);
        logic.StopProcess();
        EXPECT_EQ(state.ProcessMode, kProcessIdle);
        EXPECT_FALSE(logic.Button(kButtonStop).enabled);
        EXPECT_EQ(state.DigColl, before.dig);
        EXPECT_EQ(state.SaveFile, before.save);
        EXPECT_EQ(state.DigColl->Count(), 1);
        EXPECT_EQ(state.SaveFile->StartPath, L"C:\\Half");
        EXPECT_EQ(state.PreDigColl, before.preDig);
    }
}

TEST_F(StopTest, AStopClickTakenWhileAScanReportsEndsTheScan) {
    logic.SetProcess(kProcessNewScan);
    window.window.onPump = [&] { logic.OnToolbarButtonClick(L"Stop"); };
    logic.StatusBar_Update(2, L"C:\\Half\\sub");
    EXPECT_EQ(state.ProcessMode, kProcessIdle) << "the scanner's next poll sees the stop";
    EXPECT_EQ(state.DigColl->Count(), 0);
    EXPECT_EQ(window.window.beeps, 0);
}

// ---------------------------------------------------------------------------------------
// Command dispatch

TEST_F(MainWindowTest, ToolbarKeysRunTheirCommands) {
    EnableAll();
    for (const auto* key : {L"New", L"Open", L"Save", L"Re-Dig"}) logic.OnToolbarButtonClick(key);
    EXPECT_EQ(commands.calls, (std::vector<std::string>{"New", "Open", "Save", "Reprowl"}));
    logic.SetProcess(kProcessGroupRegister);
    logic.OnToolbarButtonClick(L"Stop");
    EXPECT_EQ(state.ProcessMode, kProcessIdle);
}

TEST_F(MainWindowTest, AnUnknownToolbarKeyDoesNothing) {
    EnableAll();
    logic.SetProcess(kProcessGroupRegister);
    // Keys compare exactly: neither the caption nor another case matches.
    for (const auto* key : {L"Re-Prowl", L"new", L"STOP", L"", L"Stop "})
        logic.OnToolbarButtonClick(key);
    EXPECT_TRUE(commands.calls.empty());
    EXPECT_EQ(window.window.beeps, 0);
    EXPECT_EQ(state.ProcessMode, kProcessGroupRegister);
}

TEST_F(MainWindowTest, ADisabledCommandDoesNothingWhicheverWayItArrives) {
    // Start state: Save, Re-Prowl and the tree's items are disabled. Accelerators call
    // OnMenuClick without the menu's own check.
    logic.OnToolbarButtonClick(L"Save");
    logic.OnToolbarButtonClick(L"Re-Dig");
    for (const auto* name : {L"mnuFileSave", L"mnuFileReprowl", L"mnuMe_Reg", L"mnuGroup_Unreg",
                             L"mnuTreeDetails", L"mnuViewProject"})
        logic.OnMenuClick(name);
    EXPECT_TRUE(commands.calls.empty());
    EXPECT_EQ(window.window.beeps, 0);
}

TEST_F(MainWindowTest, MenuItemsRunTheirCommands) {
    EnableAll();
    const std::pair<const wchar_t*, const char*> routes[] = {
        {L"mnuFileNew", "New"},
        {L"mnuFileOpen", "Open"},
        {L"mnuFileSave", "Save"},
        {L"mnuFileReprowl", "Reprowl"},
        {L"mnuMe_Reg", "RegisterMe"},
        {L"mnuMe_Unreg", "UnregisterMe"},
        {L"mnuGroup_Reg", "RegisterGroup"},
        {L"mnuGroup_Unreg", "UnregisterGroup"},
        {L"mnuTreeDetails", "FileDetails"},
        {L"mnuViewProject", "ProjectDetails"},
        {L"mnuHelpAbout", "About"},
    };
    for (const auto& [name, call] : routes) {
        commands.calls.clear();
        logic.OnMenuClick(name);
        EXPECT_EQ(commands.calls, std::vector<std::string>{call})
            << testing::PrintToString(std::wstring(name));
    }
}

TEST_F(MainWindowTest, FilePropertiesSeparatorsAndUnknownNamesDoNothing) {
    for (bool enabled : {false, true}) {
        logic.EnableFileDetails(enabled);
        logic.OnMenuClick(L"mnuViewFile");
    }
    for (const auto* name : {L"mnuSpace1", L"mnuTree", L"mnuFile", L"mnuNothing", L""})
        logic.OnMenuClick(name);
    EXPECT_TRUE(commands.calls.empty());
    EXPECT_EQ(window.window.closes, 0);
}

TEST_F(MainWindowTest, ExitClosesTheWindowOnlyWhenTheProjectMayBeLeft) {
    commands.canClose = false;
    logic.OnMenuClick(L"mnuFileExit");
    EXPECT_EQ(window.window.closes, 0);
    commands.canClose = true;
    logic.OnMenuClick(L"mnuFileExit");
    EXPECT_EQ(window.window.closes, 1);
    EXPECT_EQ(commands.calls, (std::vector<std::string>{"CanClose", "CanClose"}));
    EXPECT_TRUE(logic.QueryClose());
}

// ---------------------------------------------------------------------------------------
// Enable switches

TEST_F(MainWindowTest, EachSwitchMovesExactlyItsGroupOfControls) {
    const auto buttonsBefore = logic.Buttons();
    const auto menuBefore = logic.MenuItems();
    struct Case {
        void (MainWindowLogic::*enable)(bool);
        std::vector<int32_t> buttons;
        std::vector<std::wstring> items;
    };
    const Case cases[] = {
        {&MainWindowLogic::EnableSave, {3}, {L"mnuFileSave"}},
        {&MainWindowLogic::EnableReprowl, {4}, {L"mnuFileReprowl", L"mnuViewProject"}},
        {&MainWindowLogic::EnableFileDetails, {}, {L"mnuTreeDetails", L"mnuViewFile"}},
        {&MainWindowLogic::EnableStop, {6}, {}},
    };
    for (const auto& c : cases) {
        for (bool on : {true, false}) {
            (logic.*c.enable)(on);
            for (const auto& b : logic.Buttons()) {
                const bool inGroup =
                    std::find(c.buttons.begin(), c.buttons.end(), b.index) != c.buttons.end();
                const bool expected =
                    inGroup ? on : buttonsBefore[static_cast<std::size_t>(b.index - 1)].enabled;
                EXPECT_EQ(b.enabled, expected) << "button " << b.index;
                if (!b.separator) {
                    EXPECT_EQ(window.commands.Button(b.index).enabled, expected);
                }
            }
            for (std::size_t i = 0; i < menuBefore.size(); ++i) {
                const auto& m = logic.MenuItems()[i];
                const bool inGroup =
                    std::find(c.items.begin(), c.items.end(), m.name) != c.items.end();
                const bool expected = inGroup ? on : menuBefore[i].enabled;
                EXPECT_EQ(m.enabled, expected) << testing::PrintToString(m.name);
                EXPECT_EQ(window.commands.MenuItem(m.name).enabled, expected);
            }
        }
    }
}

// ---------------------------------------------------------------------------------------
// The busy guard

// Tries every command once and reports which of them got through.
class GuardTest : public MainWindowTest {
  protected:
    GuardTest() { EnableAll(); }
    void TryEverything() {
        for (const auto* key : {L"New", L"Open", L"Save", L"Re-Dig"})
            logic.OnToolbarButtonClick(key);
        for (const auto* name :
             {L"mnuFileNew", L"mnuFileOpen", L"mnuFileSave", L"mnuFileReprowl", L"mnuMe_Reg",
              L"mnuMe_Unreg", L"mnuGroup_Reg", L"mnuGroup_Unreg", L"mnuFileExit"})
            logic.OnMenuClick(name);
        closeAllowed = logic.QueryClose();
        for (const auto* name : {L"mnuTreeDetails", L"mnuViewProject", L"mnuHelpAbout"})
            logic.OnMenuClick(name);
    }
    const std::vector<std::string> stillWorking{"FileDetails", "ProjectDetails", "About"};
    bool closeAllowed = true;
};

TEST_F(GuardTest, WhileAProcessRunsProjectCommandsAndClosingOnlyBeep) {
    for (int16_t mode :
         {kProcessNewScan, kProcessRescan, kProcessGroupRegister, kProcessGroupUnregister}) {
        SCOPED_TRACE(mode);
        commands.calls.clear();
        window.window.beeps = 0;
        logic.SetProcess(mode);
        TryEverything();
        EXPECT_EQ(commands.calls, stillWorking);
        EXPECT_EQ(window.window.beeps, 14) << "one beep per refused command";
        EXPECT_FALSE(closeAllowed);
        EXPECT_EQ(window.window.closes, 0);
        EXPECT_EQ(state.ProcessMode, mode) << "a refusal changes nothing";
        EXPECT_TRUE(logic.Button(kButtonSave).enabled);
    }
}

TEST_F(GuardTest, WhileACommandProcessesMessagesTheSameCommandsOnlyBeep) {
    // A save processes messages at every record while ProcessMode stays 0.
    window.window.onPump = [&] {
        EXPECT_TRUE(logic.Busy());
        TryEverything();
    };
    logic.ProgressBar_Show(true, 3);
    EXPECT_EQ(commands.calls, stillWorking);
    EXPECT_EQ(window.window.beeps, 14);
    EXPECT_FALSE(closeAllowed);
    EXPECT_FALSE(logic.Busy()) << "the guard ends with the pass";

    window.window.onPump = nullptr;
    commands.calls.clear();
    logic.OnMenuClick(L"mnuFileNew");
    EXPECT_EQ(commands.calls, std::vector<std::string>{"New"});
}

TEST_F(GuardTest, StopStillWorksInsideABusyPass) {
    logic.SetProcess(kProcessRescan);
    window.window.onPump = [&] { logic.OnToolbarButtonClick(L"Stop"); };
    logic.StatusBar_Update(2, L"Re-Prowling");
    EXPECT_EQ(state.ProcessMode, kProcessIdle);
    EXPECT_EQ(window.window.beeps, 0);
}

TEST_F(GuardTest, AWaitOutsideTheStatusCallsIsGuardedByItsOwnScope) {
    {
        MainWindowLogic::BusyScope waitingForChild(logic);
        { MainWindowLogic::BusyScope nested(logic); }
        EXPECT_TRUE(logic.Busy()) << "an inner scope must not end the outer one";
        logic.OnMenuClick(L"mnuMe_Reg");
        EXPECT_FALSE(logic.QueryClose());
    }
    EXPECT_FALSE(logic.Busy());
    EXPECT_TRUE(commands.calls.empty());
    EXPECT_EQ(window.window.beeps, 2);
    EXPECT_TRUE(logic.QueryClose());
}

// ---------------------------------------------------------------------------------------
// Saving while the user edits

TEST_F(MainWindowTest, ASuccessfulSaveWithoutEditsMarksTheProjectSaved) {
    logic.EnableSave(true);  // edited before the save: the file will hold it
    const auto generation = logic.BeginSave();
    logic.ProgressBar_Show(true, 2);
    logic.ProgressBar_Increment(1);
    logic.ProgressBar_Increment(1);
    logic.SaveSucceeded(generation);
    EXPECT_FALSE(logic.Button(kButtonSave).enabled);
    EXPECT_FALSE(window.commands.MenuItem(L"mnuFileSave").enabled);
}

TEST_F(MainWindowTest, AnEditMadeWhileTheFileIsWrittenKeepsSaveEnabled) {
    logic.EnableSave(true);
    const auto generation = logic.BeginSave();
    int pass = 0;
    window.window.onPump = [&] {
        if (++pass == 2) logic.EnableSave(true);  // the tree takes a check box click
    };
    logic.ProgressBar_Show(true, 2);
    logic.ProgressBar_Increment(1);
    logic.ProgressBar_Increment(1);
    logic.SaveSucceeded(generation);
    EXPECT_TRUE(logic.Button(kButtonSave).enabled);
    EXPECT_TRUE(window.commands.MenuItem(L"mnuFileSave").enabled);

    // The next save, without edits, clears it.
    window.window.onPump = nullptr;
    const auto next = logic.BeginSave();
    logic.SaveSucceeded(next);
    EXPECT_FALSE(logic.Button(kButtonSave).enabled);
}

}  // namespace
}  // namespace prowl
