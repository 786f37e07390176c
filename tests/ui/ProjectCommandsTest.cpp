// New, Open, Save and closing through the window's logic: scripted answers, the chooser run
// by a script, the real disk under Wine.
#include <gtest/gtest.h>

#include "support/FaultyFileSystem.h"
#include "support/TempTree.h"
#include "ui/ProgramCommands.h"
#include "ui/dialogs/FolderChooser.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDialogHost.h"
#include "win32/ComponentFile_win.h"
#include "win32/Drives_win.h"
#include "win32/Launcher_win.h"
#include "win32/Locale_win.h"
#include "win32/Registry_win.h"
#include "win32/SystemFacts_win.h"

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
    // The chooser opens the entry of that name and says OK; "" cancels it.
    void Choose(const std::wstring& name) {
        dialogs.scripts.push_back([name](ModalDialog& dialog) {
            auto& chooser = dynamic_cast<FolderChooser&>(dialog);
            const auto& entries = chooser.Control(L"aDir").items;
            for (size_t i = 0; i < entries.size(); ++i)
                if (!name.empty() && entries[i].text == name)
                    chooser.OpenEntry(static_cast<int32_t>(i));
            name.empty() ? chooser.Cancel() : chooser.OK();
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
    win32::Win32SystemFacts system;
    win32::Win32Launcher launcher{system};
    win32::Win32RegistryReader registry;
    MemoryDialogHost dialogs;
    Drives drives;
    win32::Win32LocaleFormat locale;
    win32::Win32ComponentFiles components;
    ProgramCommands commands{
        logic,
        {files, launcher, registry, dialogs, drives, locale, components, system, L"C:\\Program"}};
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

TEST_F(ProjectCommandsTest, NewAsksFirstScansTheChosenFolderAndLeavesNothingHalfDone) {
    const std::wstring old = L"R\\old.PRW|Source File: R\\old.PRW|Opened File: R\\old.PRW|OLD ";
    const std::wstring fresh = L"|Source File: ** New ActiveX Prowl File **|Finished Prowling.|";
    struct Case {
        const char* name;
        bool changed;
        const wchar_t* answers;  // to the message boxes in turn
        std::vector<std::wstring> saves;
        // "choose NAME" (the chooser, "" cancels), "at PATH" (NewProjectAt), "stop", "".
        std::wstring how;
        std::wstring seen;
    } cases[] = {
        // clang-format off
        {"scanned", false, L"", {}, L"choose proj",
         fresh + L"PROJ a.dll SUB b.ocx |save reprowl|13 1 "},
        {"kept on No, chooser cancelled", true, L"N", {}, L"choose ",
         L"|Source File: R\\old.PRW|Opened File: R\\old.PRW|OLD |save reprowl|13 1 |Save Changes?"},
        {"a failed save stops before the chooser", true, L"YO", {L"gone\\x.PRW"}, L"",
         L"R\\old.PRW|Source File: R\\old.PRW|Saving File: |OLD |save reprowl|11 1 "
         L"|Save Changes?|ActiveX Prowl - File Error"},
        {"an unanswered question is a cancel", true, L"X", {}, L"",
         old + L"|save reprowl||Save Changes?"},
        {"nothing to find keeps Save as it was", false, L"", {}, L"choose bare",
         fresh + L"| reprowl|13 1 "},
        {"stopped", false, L"", {}, L"stop", L"|Source File:  |Process Stopped|||13 1 "},
        {"given a folder", true, L"N", {}, L"at proj",
         fresh + L"PROJ a.dll SUB b.ocx |save reprowl|13 1 |Save Changes?"},
        {"a start path that cannot be scanned", false, L"O", {}, L"at ?:\\x",
         old + L"| reprowl|13 1 |ActiveX Prowl - File Error"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s(temp, c.changed);
        s.Script(c.answers, c.saves);
        if (c.how == L"stop")
            s.window.window.onPump = [&] { s.logic.OnToolbarButtonClick(L"Stop"); };
        if (c.how.starts_with(L"choose ") || c.how == L"stop")
            s.Choose(c.how == L"stop" ? L"proj" : c.how.substr(7));
        if (c.how.starts_with(L"at "))
            s.logic.RunCommand(
                [&] { s.commands.Project().NewProjectAt(s.Where(c.how.substr(3))); });
        else
            s.logic.OnToolbarButtonClick(L"New");
        EXPECT_EQ(s.Seen(), c.seen);
        for (const auto& m : s.window.prompts.messages)
            if (m.icon == MsgIcon::Critical) {
                EXPECT_TRUE(m.text.starts_with(
                    L"The following error occurred while attempting to " +
                    std::wstring(c.how.starts_with(L"at ") ? L"scan the start path: "
                                                           : L"save the project file: ")));
            }
    }
}

TEST_F(ProjectCommandsTest, OpenShowsTheFileOrTellsWhyAndKeepsTheProject) {
    const std::wstring old =
        L"R\\old.PRW|Source File: R\\old.PRW|Opened File: R\\old.PRW|OLD |save reprowl|";
    const std::wstring two =
        L"R\\two.PRW|Source File: R\\two.PRW|Opened File: R\\two.PRW|TWO | reprowl|";
    struct Case {
        const char* name;
        bool changed;
        const wchar_t* answers;
        std::vector<std::wstring> files;  // the Save and Open dialogs' answers
        const wchar_t* path;              // OpenProjectPath; null: the Open command
        std::wstring seen;
    } cases[] = {
        // clang-format off
        {"opened", false, L"", {L"two.PRW"}, nullptr, two + L"11 1 "},
        {"cancelled", true, L"N", {L""}, nullptr, old + L"|Save Changes?"},
        {"not a project file", false, L"O", {L"proj\\x.txt"}, nullptr,
         L"R\\old.PRW|Source File: R\\old.PRW|Opened File: R\\old.PRW|OLD | reprowl|11 1 "
         L"|ActiveX Prowl - File Error"},
        {"given a path", true, L"N", {}, L"two.PRW", two + L"11 1 |Save Changes?"},
        {"given a path, save cancelled", true, L"Y", {L""}, L"two.PRW", old + L"|Save Changes?"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s(temp, c.changed);
        s.Script(c.answers, c.files);
        if (c.path)
            s.logic.RunCommand([&] { s.commands.Project().OpenProjectPath(s.Where(c.path)); });
        else
            s.logic.OnMenuClick(L"mnuFileOpen");
        EXPECT_EQ(s.Seen(), c.seen);
        const auto& box = s.window.prompts.messages;
        if (!box.empty() && box.back().icon == MsgIcon::Critical) {
            EXPECT_EQ(box.back().text,
                      L"The following error occurred while attempting to open "
                      L"the project file: line 1: the start path is not an "
                      L"absolute path such as C:\\Folder or \\\\server\\share");
        }
        const auto& dialog = s.window.prompts.fileDialogs;
        if (!c.path && !c.changed) {
            ASSERT_EQ(dialog.size(), 1u);
            EXPECT_EQ(std::tuple(dialog[0].kind, dialog[0].filter, dialog[0].title,
                                 dialog[0].initialFolder, dialog[0].initialFileName),
                      std::tuple(FileDialogKind::Open, L"ActiveX Prowl Files (*.PRW)|*.PRW",
                                 L"Open ActiveX Prowl Save File", L"C:\\Program",
                                 std::optional<std::wstring>()));
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
    const auto& dialog = s.window.prompts.fileDialogs;
    ASSERT_EQ(dialog.size(), 2u);
    EXPECT_EQ(std::tuple(dialog[0].kind, dialog[0].filter, dialog[0].title, dialog[0].initialFolder,
                         dialog[0].initialFileName),
              std::tuple(FileDialogKind::Save, L"ActiveX Prowl Files (*.PRW)|*.PRW",
                         L"Save ActiveX Objects", L"C:\\Program",
                         std::optional<std::wstring>(temp.Path(L"old.PRW"))));

    s.logic.EnableSave(true);
    s.files.writesBeforeFailure = 0;
    s.window.prompts.messages.clear();
    s.Script(L"YO", {L"a.PRW"});
    s.logic.OnMenuClick(L"mnuFileSave");
    EXPECT_EQ(s.window.prompts.messages.back().text,
              L"The following error occurred while attempting to save the project file: There "
              L"is not enough space on the disk.");
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
