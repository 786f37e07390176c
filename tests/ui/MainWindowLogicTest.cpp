#include <gtest/gtest.h>

#include <cwctype>
#include <functional>
#include <map>
#include <set>

#include "model/ProwlError.h"
#include "ui/MainWindowLogic.h"
#include "ui/memory/MemoryControls.h"

namespace prowl {
namespace {

using Calls = std::vector<std::string>;
using Strings = std::vector<std::wstring>;

// Records every command that runs; `during` stands for what the command does.
class RecordingCommands : public MainWindowCommands {
  public:
    void NewProject() override { Run("New"); }
    void OpenProject() override { Run("Open"); }
    bool SaveProject() override { return Run("Save"), true; }
    void ReprowlProject() override { Run("Reprowl"); }
    void ExportReport() override { Run("Export"); }
    void OpenProjectPath(const std::wstring& path) override {
        Run(("Open " + std::string(path.begin(), path.end())).c_str());
    }
    void NewProjectAt(const std::wstring& folder) override {
        Run(("New " + std::string(folder.begin(), folder.end())).c_str());
    }
    void RegisterMe() override { Run("RegisterMe"); }
    void UnregisterMe() override { Run("UnregisterMe"); }
    void RegisterGroup() override { Run("RegisterGroup"); }
    void UnregisterGroup() override { Run("UnregisterGroup"); }
    void ShowFileDetails() override { Run("FileDetails"); }
    void ShowFileProperties() override { Run("FileProperties"); }
    void ShowProjectDetails() override { Run("ProjectDetails"); }
    void ShowAbout() override { Run("About"); }
    bool CanClose() override { return Run("CanClose"), canClose; }
    void Run(const char* name) {
        calls.push_back(name);
        if (during) during(name);
    }
    Calls calls;
    bool canClose = true;
    std::function<void(const std::string&)> during;
};

const wchar_t* const kKeys[] = {L"New", L"Open", L"Save", L"Re-Dig"};
const wchar_t* const kItems[] = {
    L"mnuFileNew",     L"mnuFileOpen", L"mnuFileSave",    L"mnuFileReprowl", L"mnuFileExport",
    L"mnuMe_Reg",      L"mnuMe_Unreg", L"mnuGroup_Reg",   L"mnuGroup_Unreg", L"mnuFileExit",
    L"mnuTreeDetails", L"mnuViewFile", L"mnuViewProject", L"mnuHelpAbout"};

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
    // Every button and item that is disabled, as the controls show it; the logic must agree.
    std::wstring Disabled() {
        std::wstring off;
        for (const auto& b : logic.Buttons()) {
            EXPECT_EQ(window.commands.Button(b.index).enabled, b.enabled) << b.index;
            if (!b.enabled) off += std::to_wstring(b.index) + L" ";
        }
        for (const auto& m : logic.MenuItems()) {
            EXPECT_EQ(window.commands.MenuItem(m.name).enabled, m.enabled);
            if (!m.enabled) off += m.name + L" ";
        }
        return off;
    }
    // Every command the window can send, once; closing last.
    void TryEverything() {
        for (const auto* key : kKeys) logic.OnToolbarButtonClick(key);
        for (const auto* name : kItems) logic.OnMenuClick(name);
        closeAllowed = logic.QueryClose();
    }

    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    RecordingCommands commands;
    bool closeAllowed = false;
};

TEST_F(MainWindowTest, StatusPanelsShowEachTextAndEveryCallProcessesMessagesOnce) {
    const auto panels = [&] {
        EXPECT_EQ(window.panels.PanelText(1), logic.PanelText(1));
        EXPECT_EQ(window.panels.PanelText(2), logic.PanelText(2));
        return logic.PanelText(1) + L"|" + logic.PanelText(2);
    };
    EXPECT_EQ(panels(), L"Source File: None|Ready");
    EXPECT_EQ(window.window.pointers, std::vector<int32_t>{kPointerArrow});
    const std::tuple<int32_t, std::wstring, std::wstring> cases[] = {
        {1, L"C:\\p\\tools.PRW", L"Source File: C:\\p\\tools.PRW|Ready"},
        {1, L"", L"Source File: ** New ActiveX Prowl File **|Ready"},
        {2, L"  Scanning  ", L"Source File: ** New ActiveX Prowl File **|  Scanning  "},
        {0, L"no panel", L"Source File: ** New ActiveX Prowl File **|  Scanning  "},
        {3, L"no panel", L"Source File: ** New ActiveX Prowl File **|  Scanning  "},
    };
    int32_t pumps = 0;
    for (const auto& [index, text, shown] : cases) {
        logic.StatusBar_Update(index, text);
        EXPECT_EQ(panels(), shown);
        EXPECT_EQ(window.window.pumps, ++pumps);
    }
}

TEST_F(MainWindowTest, ProgressStopsAtTheMaximumAndHidingKeepsTheValue) {
    const auto bar = [&] {
        const ProgressBarState shown = window.progress.State(), held = logic.Progress();
        EXPECT_EQ(std::tuple(shown.visible, shown.value, shown.maximum),
                  std::tuple(held.visible, held.value, held.maximum));
        return std::tuple(held.visible, held.value, held.maximum);
    };
    EXPECT_EQ(bar(), std::tuple(false, 0.0f, 100.0f));
    logic.ProgressBar_Show(true, 10);
    for (int i = 0; i < 3; ++i) logic.ProgressBar_Increment(4);
    EXPECT_EQ(bar(), std::tuple(true, 10.0f, 10.0f)) << "clamped, not 12";
    logic.ProgressBar_Increment(-25);
    EXPECT_EQ(bar(), std::tuple(true, 0.0f, 10.0f)) << "nothing below the minimum";
    logic.ProgressBar_Increment(3);
    logic.ProgressBar_Show(false, 99);
    EXPECT_EQ(bar(), std::tuple(false, 3.0f, 10.0f));
    EXPECT_EQ(window.window.pumps, 7) << "showing, hiding and each step process messages";
    logic.ProgressBar_Show(true, 16777217);  // 2^24 + 1 has no single-precision form
    logic.ProgressBar_Increment(16777217);
    EXPECT_EQ(bar(), std::tuple(true, 16777216.0f, 16777216.0f));
}

TEST_F(MainWindowTest, StopEndsTheProcessAndDropsOrRestoresOnlyWhatItsModeOwns) {
    const std::wstring idle = Disabled(), running = L"3 4 " + idle.substr(6);
    for (const int16_t mode : {kProcessNewScan, kProcessRescan, kProcessGroupRegister,
                               kProcessGroupUnregister, kProcessIdle}) {
        SCOPED_TRACE(mode);
        state.DigColl = std::make_shared<ItemCollection>();
        state.DigColl->Add(std::make_shared<clsObject>());
        const ProjectState before = state;
        logic.SetProcess(mode);
        EXPECT_EQ(Disabled(), mode == kProcessIdle ? idle : running) << "Stop alone";
        // Taken while the running routine reports, as a click on Stop is.
        window.window.onPump = [&] { logic.OnToolbarButtonClick(L"Stop"); };
        logic.StatusBar_Update(2, L"C:\\Half\\sub");
        window.window.onPump = nullptr;
        EXPECT_EQ(std::tuple(state.ProcessMode, Disabled()), std::tuple(kProcessIdle, idle));
        if (mode == kProcessNewScan) {
            EXPECT_EQ(state.DigColl->Count(), 0);
            EXPECT_NE(state.SaveFile, before.SaveFile);
        } else {
            const bool rescan = mode == kProcessRescan;
            EXPECT_EQ(state.DigColl, rescan ? before.PreDigColl : before.DigColl);
            EXPECT_EQ(state.SaveFile, rescan ? before.PreSaveFile : before.SaveFile);
        }
        EXPECT_EQ(state.PreDigColl, before.PreDigColl);
        EXPECT_EQ(window.window.beeps, 0);
    }
}

TEST_F(MainWindowTest, ToolbarKeysAndMenuItemsRunTheirCommandsWhenEnabled) {
    // Disabled at start: nothing runs, whichever way the command arrives (a shortcut calls
    // OnMenuClick without the menu's own check).
    TryEverything();
    EXPECT_EQ(commands.calls,
              (Calls{"New", "Open", "New", "Open", "CanClose", "About", "CanClose"}));
    EXPECT_EQ(window.window.closes, 1);
    EnableAll();
    commands.calls.clear();
    commands.canClose = false;
    TryEverything();
    for (const auto* key : {L"Re-Prowl", L"new", L"Stop ", L""}) logic.OnToolbarButtonClick(key);
    for (const auto* name : {L"mnuSpace1", L"mnuTree", L"mnuFile", L"mnuNothing"})
        logic.OnMenuClick(name);
    EXPECT_EQ(commands.calls,
              (Calls{"New", "Open", "Save", "Reprowl", "New", "Open", "Save", "Reprowl", "Export",
                     "RegisterMe", "UnregisterMe", "RegisterGroup", "UnregisterGroup", "CanClose",
                     "FileDetails", "FileProperties", "ProjectDetails", "About", "CanClose"}));
    EXPECT_EQ(std::tuple(window.window.closes, closeAllowed, window.window.beeps),
              std::tuple(1, false, 0));
}

TEST_F(MainWindowTest, EachSwitchMovesExactlyItsGroupOfControls) {
    const std::wstring start = Disabled();
    EXPECT_EQ(start,
              L"3 4 6 mnuMe_Reg mnuMe_Unreg mnuGroup_Reg mnuGroup_Unreg mnuTreeDetails "
              L"mnuTreeRename mnuTreeCopyPath mnuFileSave mnuFileReprowl mnuFileExport mnuViewFile "
              L"mnuViewProject ");
    const std::pair<void (MainWindowLogic::*)(bool), Strings> cases[] = {
        {&MainWindowLogic::EnableSave, {L"3 ", L"mnuFileSave "}},
        {&MainWindowLogic::EnableReprowl,
         {L"4 ", L"mnuFileReprowl ", L"mnuFileExport ", L"mnuViewProject "}},
        {&MainWindowLogic::EnableFileDetails, {L"mnuTreeDetails ", L"mnuViewFile "}},
        {&MainWindowLogic::EnableStop, {L"6 "}},
    };
    for (const auto& [enable, group] : cases) {
        std::wstring expected = start;
        for (const auto& name : group) expected.erase(expected.find(name), name.size());
        (logic.*enable)(true);
        EXPECT_EQ(Disabled(), expected);
        (logic.*enable)(false);
        EXPECT_EQ(Disabled(), start);
    }
}

TEST_F(MainWindowTest, WhileAProcessRunsOrACommandProcessesMessagesProjectCommandsOnlyBeep) {
    EnableAll();
    for (int16_t mode : {kProcessNewScan, kProcessRescan, kProcessGroupRegister,
                         kProcessGroupUnregister, kProcessIdle}) {
        SCOPED_TRACE(mode);
        commands.calls.clear();
        window.window.beeps = 0;
        logic.SetProcess(mode);
        // In mode 0, a save: it processes messages at every record while ProcessMode stays 0.
        if (mode == kProcessIdle) window.window.onPump = [&] { TryEverything(); };
        if (mode == kProcessIdle) logic.ProgressBar_Show(true, 3);
        if (mode != kProcessIdle) TryEverything();
        EXPECT_EQ(commands.calls,
                  (Calls{"FileDetails", "FileProperties", "ProjectDetails", "About"}));
        EXPECT_EQ(
            std::tuple(window.window.beeps, closeAllowed, window.window.closes, state.ProcessMode),
            std::tuple(15, false, 0, mode))
            << "one beep per refused command, and nothing else";
    }
    EXPECT_FALSE(logic.Busy()) << "the guard ends with the pass";
    {
        MainWindowLogic::BusyScope waitingForChild(logic);
        { MainWindowLogic::BusyScope nested(logic); }
        EXPECT_TRUE(logic.Busy()) << "an inner scope must not end the outer one";
    }
    window.window.onPump = nullptr;
    commands.calls.clear();
    logic.OnMenuClick(L"mnuFileNew");
    EXPECT_EQ(commands.calls, Calls{"New"});
}

TEST_F(MainWindowTest, AnEditMadeWhileTheFileIsWrittenKeepsSaveEnabled) {
    for (int editAtPass : {0, 2}) {
        logic.EnableSave(true);  // edited before the save: the file will hold it
        const auto generation = logic.BeginSave();
        int pass = 0;
        window.window.onPump = [&] {
            if (++pass == editAtPass) logic.EnableSave(true);  // a check box click
        };
        logic.ProgressBar_Show(true, 2);
        logic.ProgressBar_Increment(1);
        logic.ProgressBar_Increment(1);
        logic.SaveSucceeded(generation);
        EXPECT_EQ(Disabled().find(L"3 4 6 "), editAtPass ? std::wstring::npos : 0u) << editAtPass;
    }
}

TEST_F(MainWindowTest, ACommandThatFailsLeavesNoProcessNoHourglassAndTheProjectAsItWas) {
    const ProjectState before = state;
    const std::wstring idle = Disabled();
    for (const auto& [fail, text] :
         std::initializer_list<std::pair<std::function<void()>, std::wstring>>{
             {[] { throw ProwlError(L"line 7: Index \"x\" is not a whole number"); },
              L"line 7: Index \"x\" is not a whole number"},
             {[] { throw std::out_of_range("tree view: no such node"); },
              L"The command could not be completed because of an unexpected error. The project is "
              L"as it was before the command."}}) {
        window.prompts.messages.clear();
        window.prompts.messageAnswers = {MsgAnswer::Ok};
        commands.during = [&, &fail = fail](const std::string&) {
            logic.SetProcess(kProcessNewScan);
            logic.SetPointer(kPointerArrowHourglass);
            fail();
        };
        logic.OnToolbarButtonClick(L"Open");
        EXPECT_EQ(std::tuple(state.ProcessMode, Disabled(), window.window.pointers.back()),
                  std::tuple(kProcessIdle, idle, kPointerArrow));
        EXPECT_EQ(std::tuple(state.DigColl, state.SaveFile),
                  std::tuple(before.DigColl, before.SaveFile));
        ASSERT_EQ(window.prompts.messages.size(), 1u);
        const MessageBoxRequest& box = window.prompts.messages[0];
        EXPECT_EQ(std::tuple(box.text, box.title, box.icon, box.buttons),
                  std::tuple(text, std::wstring(L"ActiveX Prowl - Error"), MsgIcon::Critical,
                             MsgButtons::Ok));
    }
    // Everything works as before; a box that cannot be shown costs nothing more.
    window.prompts.messageAnswers = {MsgAnswer::NotShown};
    commands.during = [](const std::string& name) {
        if (name == "CanClose") throw ProwlError(L"disk gone");
    };
    EXPECT_FALSE(logic.QueryClose()) << "a close that failed keeps the window";
    commands.during = nullptr;
    commands.calls.clear();
    logic.OnToolbarButtonClick(L"New");
    EXPECT_TRUE(logic.QueryClose());
    EXPECT_EQ(commands.calls, (Calls{"New", "CanClose"}));
    EXPECT_EQ(window.window.beeps, 0);
}

TEST_F(MainWindowTest, ScopesInsideACommandLeaveItsProcessAndPutBackTheirPointer) {
    commands.during = [&](const std::string& name) {
        MainWindowLogic::CommandScope own(logic);  // a command's own, inside the dispatch's
        if (name == "About") return own.SetPointer(kPointerHourglass);
        logic.SetProcess(kProcessNewScan);
        own.SetPointer(kPointerArrowHourglass);
        logic.StatusBar_Update(2, L"Prowling in C:\\");  // the user opens a dialog meanwhile
        EXPECT_EQ(std::tuple(state.ProcessMode, logic.Pointer()),
                  std::tuple(kProcessNewScan, kPointerArrowHourglass))
            << "the dialog left the scan running and its pointer showing";
    };
    window.window.onPump = [&] { logic.OnMenuClick(L"mnuHelpAbout"); };
    logic.OnToolbarButtonClick(L"New");
    EXPECT_EQ(commands.calls, (Calls{"New", "About"}));
    EXPECT_EQ(std::tuple(state.ProcessMode, logic.Pointer()),
              std::tuple(kProcessIdle, kPointerArrow));

    window.prompts.messageAnswers = {MsgAnswer::NotShown, MsgAnswer::No, MsgAnswer::Yes};
    MessageBoxRequest question;
    question.buttons = MsgButtons::YesNo;
    for (MsgAnswer expected : {MsgAnswer::Cancel, MsgAnswer::No, MsgAnswer::Yes})
        EXPECT_EQ(logic.Ask(question), expected) << "a box that cannot be shown is a Cancel";
}

TEST_F(MainWindowTest, OneProjectFileOrOneFolderFromOutsideIsOpenedAndAnythingElseBeeps) {
    window.files.Folder(L"C:\\Tools");
    window.files.Folder(L"C:\\odd.prw");
    const struct {
        Strings paths;
        int16_t mode;
        const char* runs;  // "" with a beep
    } cases[] = {
        {{L"C:\\p\\tools.PRW"}, 0, "Open C:\\p\\tools.PRW"},
        {{L"C:\\p\\tools.prw"}, 0, "Open C:\\p\\tools.prw"},
        {{L"C:\\Tools"}, 0, "New C:\\Tools"},
        {{L"C:\\odd.prw"}, 0, "New C:\\odd.prw"},
        {{L"C:\\p\\tools.prw.txt"}, 0, ""},
        {{L".prw"}, 0, ""},
        {{L"C:\\a.prw", L"C:\\b.prw"}, 0, ""},
        {{}, 0, ""},
        {{L"C:\\p\\tools.prw"}, kProcessRescan, ""},
        {{L"C:\\Tools"}, kProcessNewScan, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.runs);
        commands.calls.clear();
        window.window.beeps = 0;
        logic.SetProcess(c.mode);
        logic.OnDropFiles(c.paths);
        EXPECT_EQ(commands.calls, *c.runs ? Calls{c.runs} : Calls{});
        EXPECT_EQ(window.window.beeps, *c.runs ? 0 : 1);
    }
    logic.SetProcess(kProcessIdle);
    commands.calls.clear();
    logic.OpenAtStart(L"D:\\x y\\a.prw");
    EXPECT_EQ(commands.calls, Calls{"Open D:\\x y\\a.prw"});
}

TEST(MainMenu, NoTwoItemsOfOneMenuShareAnAccessKey) {
    std::map<std::wstring, std::set<wchar_t>> keys;
    for (const auto& item : MainMenuAtStart()) {
        const std::size_t amp = item.caption.find(L'&');
        if (amp == std::wstring::npos || amp + 1 == item.caption.size()) continue;
        EXPECT_TRUE(keys[item.parent].insert(std::towupper(item.caption[amp + 1])).second)
            << testing::PrintToString(item.caption);
    }
}

}  // namespace
}  // namespace prowl
