// The window's logic with in-memory controls: with recorded commands, what the switches show,
// which commands run, and which are refused while another runs; with the program's own over
// an in-memory disk and scripted answers, New, Open, Save and closing, Re-Prowl, and the tree's
// registration commands; and the window's place as kept in the settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "model/ProwlError.h"
#include "ui/MemoryProgram.h"
#include "ui/WindowPlacement.h"

namespace prowl {
namespace {

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
        calls += name + L" ";
        if (during) during(name);
    }
    std::wstring calls;
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
    // Every command the window can send but Stop, once, in display order, closing last; with
    // `all`, first as a loaded project with a file selected has them. Then what ran and the
    // beeps since the last try, and whether the window may close and the session end.
    std::wstring TryEverything(bool all = false) {
        if (all) {
            for (const auto& item : MainMenuAtStart()) logic.SetMenuItemEnabled(item.name, true);
            logic.EnableSave(true);
            logic.EnableReprowl(true);
        }
        for (const auto& button : MainToolbarAtStart())
            if (button.key != L"Stop") logic.OnToolbarButtonClick(button.key);
        for (const auto& item : MainMenuAtStart()) logic.OnMenuClick(item.name);
        const bool mayClose = logic.QueryClose(), mayEnd = logic.QueryEndSession();
        const std::wstring tried = recorded.calls + std::to_wstring(window.window.beeps) +
                                   (mayClose ? L" may close" : L"") + (mayEnd ? L" may end" : L"");
        recorded.calls.clear();
        window.window.beeps = 0;
        return tried;
    }

    RecordingCommands recorded;
};

TEST_F(MainWindowTest, EachSwitchMovesItsGroupAndOnlyEnabledCommandsAndDropsRun) {
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

    disk.Folder(L"C:\\odd.prw");  // a folder first, whatever its name
    logic.OnDropFiles({L"C:\\odd.prw"});
    logic.OnDropFiles({L"C:\\notes.txt"});  // anything but one project file or folder beeps
    logic.OnDropFiles({L"C:\\a.prw", L"C:\\b.prw"});
    // A shortcut calls OnMenuClick without the menu's own check; Exit closes the window.
    EXPECT_EQ(
        TryEverything(),
        L"New C:\\odd.prw New Open New Open CanClose About CanClose CanClose 2 may close may end");
    recorded.canClose = false;
    EXPECT_EQ(TryEverything(true),
              L"New Open Save Reprowl RegisterMe UnregisterMe RegisterGroup UnregisterGroup "
              L"FileDetails New Open Save Reprowl Export CanClose FileProperties ProjectDetails "
              L"About CanClose CanClose 0");
    EXPECT_EQ(window.window.closes, 1);
}

TEST_F(MainWindowTest, WhileAnythingRunsProjectCommandsAndDropsBeepAndStopKeepsTheProject) {
    state.PreDigColl = std::make_shared<ItemCollection>();  // the project a re-scan replaced
    state.PreSaveFile = std::make_shared<clsSaveFile>();
    for (const int16_t mode : {kProcessNewScan, kProcessRescan, kProcessGroupRegister,
                               kProcessGroupUnregister, kProcessIdle}) {
        SCOPED_TRACE(mode);
        std::wstring tried;
        window.window.onPump = [&] {
            logic.OnDropFiles({L"C:\\a.prw"});
            tried = TryEverything(true);
        };
        // Idle, a pass of the message loop stands for a save: it processes messages while
        // ProcessMode stays 0.
        logic.SetProcess(mode);
        mode == kProcessIdle ? logic.StatusBar_Update(2, L"C:\\Half") : window.window.onPump();
        logic.OnToolbarButtonClick(L"Stop");
        // One beep per refused command and drop, none for the close or the session's end.
        EXPECT_EQ(tried, L"FileDetails FileProperties ProjectDetails About 16");
    }
    // Stop puts back the project a re-scan replaced, and no other process's Stop touches it.
    EXPECT_TRUE(state.DigColl == state.PreDigColl && state.SaveFile == state.PreSaveFile);
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
    logic.OnToolbarButtonClick(L"New");
    logic.OnToolbarButtonClick(L"Open");  // refused if New had left its process running
    EXPECT_EQ(std::tuple(state.ProcessMode, logic.Button(kButtonStop).enabled, logic.Pointer()),
              std::tuple(kProcessIdle, false, kPointerArrow));
    EXPECT_FALSE(logic.QueryClose()) << "a close that failed keeps the window";
    EXPECT_EQ(recorded.calls, L"New About Open About CanClose ");
    std::wstring boxes;
    for (const auto& m : window.prompts.messages)
        boxes += m.title +
                 (m.icon == MsgIcon::Critical && m.buttons == MsgButtons::Ok ? L"!" : L"") + L" " +
                 m.text + L"|";
    EXPECT_EQ(boxes,
              L"ActiveX Prowl - Error! line 7: Index \"x\" is not a whole number|ActiveX Prowl - "
              L"Error! The command could not be completed because of an unexpected error. The "
              L"project is as it was before the command.|ActiveX Prowl - Error! disk gone|");
}

// A project file: the start path, then a record a line, its fields apart by blanks.
std::string Prw(std::vector<std::string> lines) {
    std::string text = lines[0];
    for (std::size_t i = 1; i < lines.size(); ++i) text += "\r\n" + lines[i];
    std::replace(text.begin(), text.end(), ' ', '\t');
    return text;
}
const std::string kOldProject = Prw({"C:\\Old", "1 K1 1 0 C:\\Old K0 OLD 1 0"});
// P holds a.dll and Sub, Sub b.ocx. The user excluded a.dll and expanded P and SUB.
const std::string kP =
    Prw({"C:\\P", "1 K1 1 0 C:\\P K0 P 1 1", "2 K2 2 1 C:\\P\\a.dll K1 a.dll 0 0",
         "3 K3 1 1 C:\\P\\Sub K1 SUB 1 1", "4 K4 3 3 C:\\P\\Sub\\b.ocx K3 b.ocx 1 0"});
// A hand-edited line repeats b.ocx, renamed "Mine" there: a re-scan keeps the later record.
const std::string kMine = Prw({"", "5 K6 3 3 C:\\P\\Sub\\b.ocx K3 Mine 1 0"});

// The program with C:\old.PRW open, changed or not.
struct Session : test::MemoryProgram {
    explicit Session(const std::string& project = kOldProject, bool changed = false) {
        for (const auto* f :
             {L"C:\\proj\\a.dll", L"C:\\proj\\sub\\b.ocx", L"C:\\proj\\x.txt", L"C:\\bare\\x.txt",
              L"C:\\a.PRW", L"C:\\b.PRW", L"C:\\P\\a.dll", L"C:\\P\\Sub\\b.ocx"})
            disk.File(f, "keep");
        disk.File(L"C:\\old.PRW", project);
        disk.File(L"C:\\two.PRW", Prw({"C:\\Two", "1 K1 1 0 C:\\Two K0 TWO 1 0"}));
        commands.Project().OpenProjectPath(L"C:\\old.PRW");
        logic.EnableSave(changed);
        window.window.pointers.clear();
        window.panels.history.clear();
    }
    // What a user sees: file name, the source panel, the action panel's texts since (but the
    // scanner's own), the tree below its root (x: ticked, +: expanded), Save and Re-Prowl, then
    // the pointers and the messages' titles (?: asks yes or no, !: critical); every script used up.
    std::wstring Seen() {
        std::wstring seen = state.SaveFile->FileName + L"|" + logic.PanelText(1) + L"|";
        for (const auto& [panel, text] : window.panels.history)
            if (panel == 2 && text.find(L"Prowling in") == std::wstring::npos) seen += text + L";";
        seen += L"|";
        for (int32_t node = 2; node <= window.tree.Count(); ++node)
            seen += window.tree.Text(node) + (window.tree.Checked(node) ? L"x" : L"") +
                    (window.tree.Expanded(node) ? L"+ " : L" ");
        seen += logic.Button(kButtonSave).enabled ? L"|save" : L"|";
        seen += logic.MenuItem(L"mnuFileReprowl").enabled ? L" reprowl|" : L"|";
        for (int32_t p : window.window.pointers) seen += std::to_wstring(p) + L" ";
        for (const auto& m : window.prompts.messages)
            seen += L"|" + m.title + (m.buttons == MsgButtons::YesNo ? L"?" : L"") +
                    (m.icon == MsgIcon::Critical ? L"!" : L"");
        EXPECT_TRUE(dialogs.scripts.empty() && window.prompts.messageAnswers.empty() &&
                    window.prompts.fileAnswers.empty());
        return seen;
    }
};

TEST(ProjectCommands, EachCommandAsksFirstAndEitherFinishesOrLeavesTheProjectAsItWas) {
    const std::wstring old = L"C:\\old.PRW|Source File: C:\\old.PRW||OLDx |",
                       p = L"C:\\old.PRW|Source File: C:\\old.PRW|",
                       fresh = L"|Source File: ** New ActiveX Prowl File **|Finished Prowling.;|",
                       mine = L"Px+ a.dll SUBx+ b.ocxx Minex |",
                       done =
                           L"Finished Prowling.;Updating Project...;Checking for project "
                           L"changes...;Ready;|",
                       error = L"The following error occurred while attempting to ",
                       failed = L"|ActiveX Prowl - File Error!", offer = L"|Save Changes??";
    const auto saved = [](const std::wstring& file) {
        return file + L"|Source File: " + file + L"|Saving File: ;Saved File: " + file +
               L";|OLDx |";
    };
    struct Case {
        bool changed;
        const wchar_t* answers;           // to the message boxes in turn
        std::vector<std::wstring> files;  // the Save and Open dialogs' answers
        // A toolbar key: "New" ("New:NAME": the chooser's answer, "" cancels), "Open", "Save"
        // ("Save ticking": a check box clicked while the file is written), "Re-Dig" on P (with
        // n.ocx added: "Re-Dig change", a.dll gone; "Re-Dig stop"; "Re-Dig drive", its drive
        // gone); or "drop PATH" ("stop": Stop during the scan; "unlisted": a folder that cannot
        // be listed), "close".
        std::wstring how, seen, text{};  // the last message's text begins with `text`
    } cases[] = {
        // clang-format off
        {false, L"", {}, L"New:proj", fresh + L"PROJx a.dllx SUBx b.ocxx |save reprowl|13 1 "},
        {true, L"N", {}, L"New:", L"|Source File: C:\\old.PRW||OLDx |save reprowl|13 1 " + offer},
        {true, L"YO", {L"C:\\gone\\x.PRW"}, L"New",
         p + L"Saving File: ;|OLDx |save reprowl|11 1 " + offer + failed,
         error + L"save the project file: "},
        {false, L"", {}, L"New:bare", fresh + L"| reprowl|13 1 "},
        {true, L"N", {}, L"drop C:\\proj stop",
         L"|Source File:  |Finished Prowling.;Process Stopped;|||13 1 " + offer},
        {false, L"O", {}, L"drop C:\\proj unlisted", old + L" reprowl|13 1 " + failed,
         error + L"scan the start path: "},
        {false, L"", {L"C:\\two.PRW"}, L"Open",
         L"C:\\two.PRW|Source File: C:\\two.PRW|Opened File: C:\\two.PRW;|TWOx | reprowl|11 1 "},
        {true, L"N", {L""}, L"Open", old + L"save reprowl|" + offer},
        {false, L"O", {L"?"}, L"Open", old + L" reprowl|" + failed,
         error + L"open the project file: The file dialog could not be shown."},
        {true, L"Y", {L""}, L"drop C:\\two.PRW", old + L"save reprowl|" + offer},
        {false, L"O", {L"C:\\proj\\x.txt"}, L"Open", old + L" reprowl|11 1 " + failed,
         error + L"open the project file: line 1: "},
        {true, L"X", {}, L"close", L"stays " + old + L"save reprowl|" + offer,
         L"Save changes to current project?"},
        {true, L"Y", {L"C:\\c.PRW"}, L"close",
         L"closes " + saved(L"C:\\c.PRW") + L" reprowl|11 1 " + offer},
        {true, L"NY", {L"C:\\a.PRW", L"C:\\b.PRW"}, L"Save",
         saved(L"C:\\b.PRW") + L" reprowl|11 1 |Replace Save File??|Replace Save File??",
         L"File C:\\b.PRW already exists.  Replace this file?"},
        {true, L"X", {L"C:\\a.PRW"}, L"Save", old + L"save reprowl||Replace Save File??"},
        {true, L"", {L"C:\\c.PRW"}, L"Save ticking", saved(L"C:\\c.PRW") + L"save reprowl|11 1 "},
        {false, L"", {}, L"Re-Dig", p + done + L"Px+ a.dll SUBx+ Minex | reprowl|13 1 "},
        {false, L"", {}, L"Re-Dig change", L"Added:C:\\P\\Sub\\n.ocx Removed:C:\\P\\a.dll " + p +
         done + L"Px+ SUBx+ Minex n.ocxx |save reprowl|13 1 "},
        {true, L"", {}, L"Re-Dig stop",
         p + L"Finished Prowling.;Re-Prowl Stopped;|" + mine + L"save reprowl|13 1 "},
        {false, L"O", {}, L"Re-Dig drive", p + L"|" + mine + L" reprowl|13 1 " + failed,
         error + L"scan the start path: "},
        // clang-format on
    };
    std::vector<FileDialogRequest> saves;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.how + L" " + c.answers));
        Session s(c.how.starts_with(L"Re-Dig") ? kP + kMine : kOldProject, c.changed);
        s.Answer(c.answers, c.files);
        if (c.how.find(L"stop") != std::wstring::npos)
            s.window.window.onPump = [&] { s.logic.OnToolbarButtonClick(L"Stop"); };
        if (c.how.ends_with(L"ticking")) s.window.window.onPump = [&] { s.logic.EnableSave(true); };
        if (c.how.starts_with(L"New:")) s.Choose(c.how.substr(4));
        if (c.how.starts_with(L"Re-Dig ")) s.disk.File(L"C:\\P\\Sub\\n.ocx");
        if (c.how.ends_with(L"drive")) s.state.SaveFile->StartPath = L"Q:\\P";
        if (c.how.ends_with(L"unlisted")) s.disk.listingFaults[L"C:\\proj"] = {};
        std::wstring report;  // the change report's lists
        if (c.how.ends_with(L"change")) {
            s.disk.Remove(L"C:\\P\\a.dll");
            s.dialogs.scripts.push_back([&](ModalDialog& dialog) {
                for (const auto* list : {L"TVAdded", L"TVRemoved"})
                    for (const auto& item : dialog.Control(list).items)
                        report += list + 2 + (L":" + item.text) + L" ";
                dialog.Click(L"cmdOK");
            });
        }
        const std::wstring key = c.how.substr(0, c.how.find_first_of(L": "));
        if (key == L"close")
            report = s.logic.QueryClose() ? L"closes " : L"stays ";
        else if (key == L"drop")
            s.logic.OnDropFiles({c.how.substr(5, c.how.find(L' ', 5) - 5)});
        else
            s.logic.OnToolbarButtonClick(key);
        EXPECT_EQ(report + s.Seen(), c.seen);
        EXPECT_TRUE(c.text.empty() || s.window.prompts.messages.back().text.starts_with(c.text));
        if (c.answers == std::wstring(L"NY")) saves = s.window.prompts.fileDialogs;
        // The file replaced holds the project; no other file is written over.
        EXPECT_EQ(s.disk.Bytes(L"C:\\a.PRW") + "|" + s.disk.Bytes(L"C:\\b.PRW"),
                  c.answers == std::wstring(L"NY") ? "keep|" + kOldProject : "keep|keep");
    }
    EXPECT_EQ(std::tuple(saves[0].filter, saves[0].initialFolder, *saves[0].initialFileName,
                         *saves[1].initialFileName),
              std::tuple(L"ActiveX Prowl Files (*.PRW)|*.PRW", L"C:\\Program", L"C:\\old.PRW",
                         L"C:\\a.PRW"));
}

TEST(NodeCommands, EachPopupCommandActsOnTheRecordOfTheClickedNode) {
    Session p(kP);
    std::wstring starts;
    p.launcher.onStart = [&](const std::wstring& start) {
        const std::size_t from = start.find(L' ') + 1;  // the switches and the path alone
        starts += start.substr(from, start.rfind(L'|') - from) + L";";
    };
    // The tree: 1 C:\P, 2 P, 3 a.dll, 4 SUB, 5 b.ocx.
    const std::pair<int32_t, const wchar_t*> clicks[] = {
        {3, L"mnuMe_Reg"}, {5, L"mnuMe_Unreg"}, {4, L"mnuGroup_Reg"}, {2, L"mnuGroup_Unreg"}};
    for (const auto& [node, item] : clicks) {
        p.window.tree.UserClick(node);
        p.logic.OnMenuClick(item);
    }
    const std::wstring a = L"\"C:\\P\\a.dll\";", b = L"\"C:\\P\\Sub\\b.ocx\";";
    EXPECT_EQ(starts, L"/U /S " + a + L"/S " + a + L"/U /S " + b + L"/U /S " + b + L"/S " + b +
                          L"/U /S " + b);
    // File Details shows the clicked node's file; a file that cannot be read gets its box and
    // no dialog (View > File Properties: the path in the box).
    p.window.tree.UserClick(5);
    p.logic.SetFilePath(L"C:\\P\\gone.dll");
    p.Answer(L"O");
    p.dialogs.scripts.push_back([&](ModalDialog& d) {
        starts = d.Text(L"lblFileName");
        d.Click(L"cmdOK");
    });
    p.logic.OnMenuClick(L"mnuTreeDetails");
    p.logic.OnMenuClick(L"mnuViewFile");
    EXPECT_EQ(starts + p.window.prompts.messages.back().title,
              L"C:\\P\\Sub\\b.ocxActiveX Prowl - File Error");
}

struct MemorySettings : SettingsStore {
    std::optional<RegistryValue> Read(const std::wstring& name) override {
        return values.contains(name) ? std::optional(values[name]) : std::nullopt;
    }
    void WriteNumber(const std::wstring& name, uint32_t value) override {
        values[name] = {kRegDword, std::string(reinterpret_cast<const char*>(&value), 4)};
    }
    std::map<std::wstring, RegistryValue> values;
};

TEST(WindowPlacement, ValuesThisProgramWouldNotHaveWrittenAreIgnored) {
    // Out of range, or missing (-1).
    for (const auto& [name, value] :
         {std::pair(L"WindowWidth", 0), std::pair(L"WindowMaximized", 2),
          std::pair(L"WindowTop", -1)}) {
        MemorySettings settings;
        SaveWindowPlace(settings, {100, 50, 600, 400, false});
        value < 0 ? void(settings.values.erase(name)) : settings.WriteNumber(name, value);
        EXPECT_FALSE(LoadWindowPlace(settings)) << value;
    }
}

}  // namespace
}  // namespace prowl
