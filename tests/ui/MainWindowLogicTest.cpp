// The window's logic with in-memory controls and recorded commands: what the switches, panels
// and bar show, which commands run, and which are refused while another runs.
#include <gtest/gtest.h>

#include <functional>

#include "model/ProwlError.h"
#include "ui/MemoryProgram.h"

namespace prowl {
namespace {

using Calls = std::vector<std::wstring>;

// Records every command that runs; `during` stands for what the command does.
struct RecordingCommands : MainWindowCommands {
    void NewProject() override { Run(L"New"); }
    void OpenProject() override { Run(L"Open"); }
    bool SaveProject() override { return Run(L"Save"), true; }
    void ReprowlProject() override { Run(L"Reprowl"); }
    void ExportReport() override { Run(L"Export"); }
    void OpenProjectPath(const std::wstring& path) override { Run(L"Open " + path); }
    void NewProjectAt(const std::wstring& folder) override { Run(L"New " + folder); }
    void RegisterMe() override { Run(L"RegisterMe"); }
    void UnregisterMe() override { Run(L"UnregisterMe"); }
    void RegisterGroup() override { Run(L"RegisterGroup"); }
    void UnregisterGroup() override { Run(L"UnregisterGroup"); }
    void ShowFileDetails() override { Run(L"FileDetails"); }
    void ShowFileProperties() override { Run(L"FileProperties"); }
    void ShowProjectDetails() override { Run(L"ProjectDetails"); }
    void ShowAbout() override { Run(L"About"); }
    bool CanClose() override { return Run(L"CanClose"), canClose; }
    void Run(const std::wstring& name) {
        calls.push_back(name);
        if (during) during(name);
    }
    Calls calls;
    bool canClose = true;
    std::function<void(const std::wstring&)> during;
};

class MainWindowTest : public ::testing::Test, protected test::MemoryProgram {
  protected:
    MainWindowTest() { logic.SetCommands(&recorded); }
    // Every disabled button and item as the controls show them.
    std::wstring Disabled() {
        std::wstring off;
        for (const auto& b : MainToolbarAtStart())
            if (!window.commands.Button(b.index).enabled) off += std::to_wstring(b.index) + L" ";
        for (const auto& m : MainMenuAtStart())
            if (!window.commands.MenuItem(m.name).enabled) off += m.name + L" ";
        return off;
    }
    // Every command the window can send but Stop, once, in display order; closing last. With
    // `all`, first as a loaded project with a file selected has them.
    void TryEverything(bool all = false) {
        for (const auto& item : MainMenuAtStart())
            if (all) logic.SetMenuItemEnabled(item.name, true);
        logic.EnableSave(all || logic.Button(kButtonSave).enabled);
        logic.EnableReprowl(all || logic.Button(kButtonReprowl).enabled);
        for (const auto& button : MainToolbarAtStart())
            if (button.key != L"Stop") logic.OnToolbarButtonClick(button.key);
        for (const auto& item : MainMenuAtStart()) logic.OnMenuClick(item.name);
        closeAllowed = logic.QueryClose();
    }

    RecordingCommands recorded;
    bool closeAllowed = false;
};

TEST_F(MainWindowTest, EachSwitchMovesExactlyItsGroupOfControls) {
    const std::wstring start = Disabled();
    const std::pair<void (MainWindowLogic::*)(bool), std::vector<std::wstring>> cases[] = {
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

TEST_F(MainWindowTest, ToolbarKeysMenuItemsAndDropsRunTheirCommandsOnlyWhenEnabled) {
    disk.Folder(L"C:\\odd.prw");  // a folder first, whatever its name
    logic.OnDropFiles({L"C:\\odd.prw"});
    logic.OnDropFiles({L"C:\\notes.txt"});  // anything but one project file or folder beeps
    logic.OnDropFiles({L"C:\\a.prw", L"C:\\b.prw"});
    // A shortcut calls OnMenuClick without the menu's own check.
    TryEverything();
    EXPECT_EQ(recorded.calls, (Calls{L"New C:\\odd.prw", L"New", L"Open", L"New", L"Open",
                                     L"CanClose", L"About", L"CanClose"}));
    EXPECT_EQ(std::tuple(window.window.closes, window.window.beeps), std::tuple(1, 2));
    recorded.calls.clear();
    recorded.canClose = false;
    TryEverything(true);
    EXPECT_EQ(recorded.calls,
              (Calls{L"New", L"Open", L"Save", L"Reprowl", L"RegisterMe", L"UnregisterMe",
                     L"RegisterGroup", L"UnregisterGroup", L"FileDetails", L"New", L"Open", L"Save",
                     L"Reprowl", L"Export", L"CanClose", L"FileProperties", L"ProjectDetails",
                     L"About", L"CanClose"}));
    EXPECT_EQ(std::tuple(window.window.closes, closeAllowed, window.window.beeps),
              std::tuple(1, false, 2));
}

TEST_F(MainWindowTest, WhileAnythingRunsProjectCommandsAndDropsBeepAndStopEndsIt) {
    for (const int16_t mode : {kProcessNewScan, kProcessRescan, kProcessGroupRegister,
                               kProcessGroupUnregister, kProcessIdle}) {
        SCOPED_TRACE(mode);
        recorded.calls.clear();
        window.window.beeps = 0;
        logic.SetProcess(mode);
        // Idle, the pass stands for a save: it processes messages while ProcessMode stays 0.
        const auto refuse = [&] {
            TryEverything(true);
            logic.OnDropFiles({L"C:\\a.prw"});
            EXPECT_FALSE(logic.QueryEndSession()) << "without a beep";
        };
        if (mode != kProcessIdle) refuse();
        window.window.onPump = [&] {
            if (mode == kProcessIdle) refuse();
            logic.OnToolbarButtonClick(L"Stop");  // taken while the running routine reports
        };
        logic.StatusBar_Update(2, L"C:\\Half\\sub");
        window.window.onPump = nullptr;
        EXPECT_EQ(recorded.calls,
                  (Calls{L"FileDetails", L"FileProperties", L"ProjectDetails", L"About"}));
        EXPECT_EQ(std::tuple(window.window.beeps, closeAllowed, window.window.closes,
                             state.ProcessMode, logic.Button(kButtonStop).enabled),
                  std::tuple(16, false, 0, kProcessIdle, false))
            << "one beep per refused command, and nothing else";
    }
    MainWindowLogic::BusyScope waitingForChild(logic);
    { MainWindowLogic::BusyScope nested(logic); }
    EXPECT_TRUE(logic.Busy()) << "an inner scope must not end the outer one";
}

TEST_F(MainWindowTest, ACommandLeavesNoProcessNorPointerAndItsFailureOnlyCostsABox) {
    recorded.during = [&](const std::wstring& name) {
        if (name == L"About") return logic.SetPointer(kPointerHourglass);
        if (name == L"CanClose") throw ProwlError(L"disk gone");
        EXPECT_FALSE(logic.QueryEndSession()) << "a command is under way";
        logic.SetProcess(kProcessNewScan);
        logic.SetPointer(kPointerArrowHourglass);
        logic.StatusBar_Update(2, L"Prowling in C:\\");  // the user opens the about box meanwhile
        EXPECT_EQ(logic.Pointer(), kPointerArrowHourglass);
        if (name == L"New") throw ProwlError(L"line 7: Index \"x\" is not a whole number");
        throw std::out_of_range("tree view: no such node");
    };
    window.window.onPump = [&] { logic.OnMenuClick(L"mnuHelpAbout"); };
    Answer(L"OXO");
    for (const auto* key : {L"New", L"Open"}) {
        logic.OnToolbarButtonClick(key);
        EXPECT_EQ(std::tuple(state.ProcessMode, logic.Button(kButtonStop).enabled, logic.Pointer()),
                  std::tuple(kProcessIdle, false, kPointerArrow));
    }
    EXPECT_FALSE(logic.QueryClose()) << "a close that failed keeps the window";
    EXPECT_EQ(recorded.calls, (Calls{L"New", L"About", L"Open", L"About", L"CanClose"}));
    std::wstring boxes;
    for (const auto& m : window.prompts.messages)
        boxes += m.title +
                 (m.icon == MsgIcon::Critical && m.buttons == MsgButtons::Ok ? L"!" : L"") + L" " +
                 m.text + L"|";
    EXPECT_EQ(boxes,
              L"ActiveX Prowl - Error! line 7: Index \"x\" is not a whole number|ActiveX Prowl - "
              L"Error! The command could not be completed because of an unexpected error. The "
              L"project is as it was before the command.|ActiveX Prowl - Error! disk gone|");

    recorded.during = nullptr;
    EXPECT_TRUE(logic.QueryEndSession());
    recorded.canClose = false;
    EXPECT_FALSE(logic.QueryEndSession()) << "idle, the close question decides";
}

}  // namespace
}  // namespace prowl
