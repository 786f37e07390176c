// New, Open, Save and closing through the window's logic: scripted answers, the chooser run
// by a script, the real disk under Wine.
#include <gtest/gtest.h>

#include "support/FaultyFileSystem.h"
#include "support/TempTree.h"
#include "ui/ProgramCommands.h"
#include "ui/dialogs/FolderChooser.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDialogHost.h"
#include "win32/ProgramServices_win.h"

namespace prowl {
namespace {

using Outcome = FileDialogResult::Outcome;
const std::string kOldProject = "C:\\Old\r\n1\tK1\t1\t0\tC:\\Old\tK0\tOLD\t1\t0";

struct Drives : win32::Win32MachineDrives {
    std::wstring start;
    std::wstring CurrentFolder() override { return start; }
};

// One run of the program over the scratch folder R, with R\old.PRW open, changed or not.
struct Session {
    explicit Session(test::TempTree& tree, bool changed = false) : temp(tree) {
        drives.start = temp.Root();
        logic.Start();
        commands.Project().OpenProjectPath(temp.Path(L"old.PRW"));
        logic.EnableSave(changed);
        window.window.pointers.clear();
    }
    // "?:" is a drive that does not exist; any other name is in R.
    std::wstring Where(const std::wstring& name) {
        return name.starts_with(L"?:") ? test::UnusedDriveLetter() + name.substr(1)
                                       : temp.Path(name);
    }
    // Answers the message boxes in turn and the file dialogs with the names ("" cancels).
    // Y, N, O: Yes, No, OK; X: the box could not be shown.
    void Script(const std::wstring& answers, const std::vector<std::wstring>& files = {}) {
        for (wchar_t a : answers)
            window.prompts.messageAnswers.push_back(a == L'Y'   ? MsgAnswer::Yes
                                                    : a == L'N' ? MsgAnswer::No
                                                    : a == L'O' ? MsgAnswer::Ok
                                                                : MsgAnswer::NotShown);
        for (const auto& f : files)
            window.prompts.fileAnswers.push_back(
                f.empty() ? FileDialogResult{} : FileDialogResult{Outcome::Chosen, Where(f)});
    }
    // The chooser opens the entry of that name and says OK; "-" cancels it.
    void Choose(const std::wstring& name) {
        dialogs.scripts.push_back([name](ModalDialog& dialog) {
            auto& chooser = dynamic_cast<FolderChooser&>(dialog);
            const auto& entries = chooser.Control(L"aDir").items;
            for (size_t i = 0; i < entries.size(); ++i)
                if (entries[i].text == name) chooser.OpenEntry(static_cast<int32_t>(i));
            name == L"-" ? chooser.Cancel() : chooser.OK();
        });
    }
    // What a user sees: file name, both panels, the tree below its root, Save and Re-Prowl,
    // then the pointers and the messages' titles; every script used up.
    std::wstring Seen() {
        std::wstring seen =
            state.SaveFile->FileName + L"|" + logic.PanelText(1) + L"|" + logic.PanelText(2) + L"|";
        for (int32_t node = 2; node <= window.tree.Count(); ++node)
            seen += window.tree.Text(node) + L" ";
        seen += logic.Button(kButtonSave).enabled ? L"|save" : L"|";
        seen += logic.MenuItem(L"mnuFileReprowl").enabled ? L" reprowl|" : L"|";
        for (int32_t p : window.window.pointers) seen += std::to_wstring(p) + L" ";
        for (const auto& m : window.prompts.messages) seen += L"|" + m.title;
        EXPECT_EQ(state.ProcessMode, kProcessIdle);
        EXPECT_TRUE(dialogs.scripts.empty() && window.prompts.messageAnswers.empty() &&
                    window.prompts.fileAnswers.empty());
        for (size_t at; (at = seen.find(temp.Root())) != std::wstring::npos;)
            seen.replace(at, temp.Root().size(), L"R");
        return seen;
    }

    test::TempTree& temp;
    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    test::FaultyFileSystem files;
    win32::Win32ProgramServices real{nullptr, files};
    const ProgramServices& r = real.Services();
    MemoryDialogHost dialogs;
    Drives drives;
    ProgramCommands commands{logic,
                             {files, r.launcher, r.registry, dialogs, drives, r.locale,
                              r.components, r.system, L"C:\\Program"}};
};

class ProjectCommandsTest : public ::testing::Test {
  protected:
    ProjectCommandsTest() {
        for (const auto* f : {L"proj\\a.dll", L"proj\\sub\\b.ocx", L"proj\\x.txt", L"bare\\x.txt"})
            temp.File(f);
        temp.File(L"old.PRW", kOldProject);
        temp.File(L"two.PRW", "C:\\Two\r\n1\tK1\t1\t0\tC:\\Two\tK0\tTWO\t1\t0");
    }
    test::TempTree temp;
};

// "kind|filter|title|initial folder|initial name", "-" when the name is not set.
std::wstring Described(const FileDialogRequest& r) {
    return (r.kind == FileDialogKind::Open ? L"open|" : L"save|") + r.filter + L"|" + r.title +
           L"|" + r.initialFolder + L"|" + r.initialFileName.value_or(L"-");
}

TEST_F(ProjectCommandsTest, NewAndOpenAskFirstAndEitherFinishOrLeaveTheProjectAsItWas) {
    const std::wstring old = L"R\\old.PRW|Source File: R\\old.PRW|Opened File: R\\old.PRW|OLD |";
    const std::wstring fresh = L"|Source File: ** New ActiveX Prowl File **|Finished Prowling.|";
    const std::wstring two = L"R\\two.PRW|Source File: R\\two.PRW|Opened File: R\\two.PRW|TWO |";
    const std::wstring error = L"The following error occurred while attempting to ";
    struct Case {
        bool changed;
        const wchar_t* answers;           // to the message boxes in turn
        std::vector<std::wstring> files;  // the Save and Open dialogs' answers
        // "new" (New, no chooser shown), "choose NAME" (New, the chooser's answer; "-"
        // cancels), "stop" (Stop during New), "new at PATH" (NewProjectAt), "open", "open at
        // PATH" (OpenProjectPath).
        std::wstring how, seen, failure{};
    } cases[] = {
        // clang-format off
        {false, L"", {}, L"choose proj", fresh + L"PROJ a.dll SUB b.ocx |save reprowl|13 1 "},
        {true, L"N", {}, L"choose -",
         L"|Source File: R\\old.PRW|Opened File: R\\old.PRW|OLD |save reprowl|13 1 |Save Changes?"},
        {true, L"YO", {L"gone\\x.PRW"}, L"new",
         L"R\\old.PRW|Source File: R\\old.PRW|Saving File: |OLD |save reprowl|11 1 |Save Changes?"
         L"|ActiveX Prowl - File Error", error + L"save the project file: "},
        {true, L"X", {}, L"new", old + L"save reprowl||Save Changes?"},
        {false, L"", {}, L"choose bare", fresh + L"| reprowl|13 1 "},
        {false, L"", {}, L"stop", L"|Source File:  |Process Stopped|||13 1 "},
        {true, L"N", {}, L"new at proj",
         fresh + L"PROJ a.dll SUB b.ocx |save reprowl|13 1 |Save Changes?"},
        {false, L"O", {}, L"new at ?:\\x", old + L" reprowl|13 1 |ActiveX Prowl - File Error",
         error + L"scan the start path: "},
        {false, L"", {L"two.PRW"}, L"open", two + L" reprowl|11 1 "},
        {true, L"N", {L""}, L"open", old + L"save reprowl||Save Changes?"},
        {false, L"O", {L"proj\\x.txt"}, L"open", old + L" reprowl|11 1 |ActiveX Prowl - File Error",
         error + L"open the project file: line 1: the start path is not an absolute path such as "
                 L"C:\\Folder or \\\\server\\share"},
        {true, L"N", {}, L"open at two.PRW", two + L" reprowl|11 1 |Save Changes?"},
        {true, L"Y", {L""}, L"open at two.PRW", old + L"save reprowl||Save Changes?"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::ToUtf8(c.how + L" " + c.answers));
        Session s(temp, c.changed);
        s.Script(c.answers, c.files);
        if (c.how == L"stop")
            s.window.window.onPump = [&] { s.logic.OnToolbarButtonClick(L"Stop"); };
        if (c.how.starts_with(L"choose ")) s.Choose(c.how.substr(7));
        if (c.how == L"stop") s.Choose(L"proj");
        const std::wstring at = c.how.substr(c.how.find(L" at ") + 4);
        if (c.how.starts_with(L"new at"))
            s.logic.RunCommand([&] { s.commands.Project().NewProjectAt(s.Where(at)); });
        else if (c.how.starts_with(L"open at"))
            s.logic.RunCommand([&] { s.commands.Project().OpenProjectPath(s.Where(at)); });
        else
            s.logic.OnToolbarButtonClick(c.how == L"open" ? L"Open" : L"New");
        EXPECT_EQ(s.Seen(), c.seen);
        const auto& boxes = s.window.prompts.messages;
        EXPECT_TRUE(c.failure.empty() || boxes.back().text.starts_with(c.failure));
        if (c.how == L"open" && !c.changed) {
            EXPECT_EQ(Described(s.window.prompts.fileDialogs.at(0)),
                      L"open|ActiveX Prowl Files (*.PRW)|*.PRW|Open ActiveX Prowl Save File|"
                      L"C:\\Program|-");
        }
    }
}

TEST_F(ProjectCommandsTest, SaveConfirmsAnOverwriteAndAFailedWriteKeepsTheOldFile) {
    temp.File(L"a.PRW", "keep");
    temp.File(L"b.PRW", "old");
    Session s(temp, true);
    s.Script(L"NY", {L"a.PRW", L"b.PRW"});
    // The writer lets messages through: a click on New meanwhile only beeps.
    s.window.window.onPump = [&] { s.logic.OnToolbarButtonClick(L"New"); };
    s.logic.OnToolbarButtonClick(L"Save");
    EXPECT_EQ(s.Seen(),
              L"R\\b.PRW|Source File: R\\b.PRW|Saved File: R\\b.PRW|OLD | reprowl|11 1 "
              L"|Replace Save File?|Replace Save File?");
    EXPECT_GT(s.window.window.beeps, 0);
    EXPECT_EQ(temp.Read(L"a.PRW") + "|" + temp.Read(L"b.PRW"), "keep|" + kOldProject);
    const auto& replace = s.window.prompts.messages[0];
    EXPECT_EQ(replace.text,
              L"File " + temp.Path(L"a.PRW") + L" already exists.  Replace this file?");
    EXPECT_EQ(std::tuple(replace.buttons, replace.icon, replace.defaultButton),
              std::tuple(MsgButtons::YesNo, MsgIcon::None, 1));
    ASSERT_EQ(s.window.prompts.fileDialogs.size(), 2u);
    EXPECT_EQ(Described(s.window.prompts.fileDialogs[0]),
              L"save|ActiveX Prowl Files (*.PRW)|*.PRW|Save ActiveX Objects|C:\\Program|" +
                  temp.Path(L"old.PRW"));

    s.logic.EnableSave(true);
    s.files.writesBeforeFailure = 0;
    s.window.prompts.messages.clear();
    s.Script(L"YO", {L"a.PRW"});
    s.logic.OnMenuClick(L"mnuFileSave");
    EXPECT_EQ(s.window.prompts.messages.back().text,
              L"The following error occurred while attempting to save the project file: There "
              L"is not enough space on the disk.");
    s.Script(L"X", {L"a.PRW"});  // nobody answered the overwrite question
    s.logic.OnMenuClick(L"mnuFileSave");
    EXPECT_EQ(temp.Read(L"a.PRW"), "keep");
    EXPECT_EQ(s.state.SaveFile->FileName, temp.Path(L"b.PRW"));
    EXPECT_TRUE(s.logic.Button(kButtonSave).enabled);
}

TEST_F(ProjectCommandsTest, ClosingAndTheEndOfTheSessionLoseNothing) {
    struct Case {
        const char* name;
        bool changed;
        int16_t mode;  // -1: the window is busy; -2: a command is under way
        const wchar_t* answers;
        std::vector<std::wstring> saves;
        bool mayClose, mayEndSession;
    } cases[] = {
        // clang-format off
        {"unchanged", false, kProcessIdle, L"", {}, true, true},
        {"changes dropped", true, kProcessIdle, L"N", {}, true, true},
        {"changes saved", true, kProcessIdle, L"Y", {L"c.PRW"}, true, true},
        {"save cancelled", true, kProcessIdle, L"Y", {L""}, false, false},
        {"no answer", true, kProcessIdle, L"X", {}, false, false},
        {"a scan runs", true, kProcessNewScan, L"", {}, false, false},
        {"busy", true, -1, L"", {}, false, false},
        {"in a command", false, -2, L"", {}, true, false},
        // clang-format on
    };
    int run = 0;
    for (const bool endSession : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (endSession ? " (end of session)" : ""));
            Session s(temp, c.changed);
            const std::wstring saved = L"c" + std::to_wstring(++run) + L".PRW";
            s.Script(c.answers,
                     c.saves.empty() || c.saves[0].empty() ? c.saves : std::vector{saved});
            if (c.mode >= 0) s.logic.SetProcess(c.mode);
            std::optional<MainWindowLogic::BusyScope> busy;
            if (c.mode == -1) busy.emplace(s.logic);
            bool may = false;
            const auto ask = [&] {
                may = endSession ? s.logic.QueryEndSession() : s.logic.QueryClose();
            };
            c.mode == -2 ? s.logic.RunCommand(ask) : ask();
            EXPECT_EQ(may, endSession ? c.mayEndSession : c.mayClose);
            const bool refused = c.mode != kProcessIdle && !(c.mode == -2 && !endSession);
            EXPECT_EQ(s.window.window.beeps, refused && !endSession ? 1 : 0);
            EXPECT_EQ(s.window.prompts.messages.empty(), refused || !c.changed);
            EXPECT_EQ(temp.Read(saved) == kOldProject, c.name == std::string("changes saved"));
            for (const auto& m : s.window.prompts.messages)
                EXPECT_EQ(std::tuple(m.text, m.title, m.buttons, m.icon, m.defaultButton),
                          std::tuple(L"Save changes to current project?", L"Save Changes?",
                                     MsgButtons::YesNo, MsgIcon::None, 1));
            s.logic.SetProcess(kProcessIdle);
            s.window.prompts.messageAnswers.clear();
            s.window.prompts.fileAnswers.clear();
        }
    }
}

}  // namespace
}  // namespace prowl
