// New, Open, Save and closing through the window's logic, with scripted answers and the chooser
// run by a script.
#include <gtest/gtest.h>

#include "ui/MemoryProgram.h"

namespace prowl {
namespace {

const std::string kOldProject = "C:\\Old\r\n1\tK1\t1\t0\tC:\\Old\tK0\tOLD\t1\t0";

// The program with C:\old.PRW open, changed or not.
struct Session : test::MemoryProgram {
    explicit Session(bool changed = false) {
        for (const auto* f : {L"C:\\proj\\a.dll", L"C:\\proj\\sub\\b.ocx", L"C:\\proj\\x.txt",
                              L"C:\\bare\\x.txt", L"C:\\a.PRW"})
            disk.File(f, "keep");
        disk.File(L"C:\\old.PRW", kOldProject);
        disk.File(L"C:\\two.PRW", "C:\\Two\r\n1\tK1\t1\t0\tC:\\Two\tK0\tTWO\t1\t0");
        commands.Project().OpenProjectPath(L"C:\\old.PRW");
        logic.EnableSave(changed);
        window.window.pointers.clear();
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
        return seen;
    }
    // "kind|filter|title|initial folder|initial name" of a file dialog shown.
    std::wstring Dialog(std::size_t at) {
        const FileDialogRequest& r = window.prompts.fileDialogs.at(at);
        return (r.kind == FileDialogKind::Open ? L"open|" : L"save|") + r.filter + L"|" + r.title +
               L"|" + r.initialFolder + L"|" + r.initialFileName.value_or(L"-");
    }
};

TEST(ProjectCommands, NewAndOpenAskFirstAndEitherFinishOrLeaveTheProjectAsItWas) {
    const std::wstring old = L"C:\\old.PRW|Source File: C:\\old.PRW|Opened File: C:\\old.PRW|OLD |";
    const std::wstring fresh = L"|Source File: ** New ActiveX Prowl File **|Finished Prowling.|";
    const std::wstring two = L"C:\\two.PRW|Source File: C:\\two.PRW|Opened File: C:\\two.PRW|TWO |";
    const std::wstring error = L"The following error occurred while attempting to ";
    struct Case {
        bool changed;
        const wchar_t* answers;           // to the message boxes in turn
        std::vector<std::wstring> files;  // the Save and Open dialogs' answers
        // "new" (New, no chooser shown), "choose NAME" (New, the chooser's answer; "" cancels),
        // "new at PATH", "stop at PATH" (Stop during it), "open", "open at PATH", "close".
        std::wstring how, seen, failure{};
    } cases[] = {
        // clang-format off
        {false, L"", {}, L"choose proj", fresh + L"PROJ a.dll SUB b.ocx |save reprowl|13 1 "},
        {true, L"N", {}, L"choose ",
         L"|Source File: C:\\old.PRW|Opened File: C:\\old.PRW|OLD |save reprowl|13 1 |Save Changes?"},
        {true, L"YO", {L"C:\\gone\\x.PRW"}, L"new",
         L"C:\\old.PRW|Source File: C:\\old.PRW|Saving File: |OLD |save reprowl|11 1 |Save Changes?"
         L"|ActiveX Prowl - File Error", error + L"save the project file: "},
        {false, L"", {}, L"choose bare", fresh + L"| reprowl|13 1 "},
        {false, L"", {}, L"stop at C:\\proj", L"|Source File:  |Process Stopped|||13 1 "},
        {true, L"N", {}, L"new at C:\\proj",
         fresh + L"PROJ a.dll SUB b.ocx |save reprowl|13 1 |Save Changes?"},
        {false, L"O", {}, L"new at Q:\\x", old + L" reprowl|13 1 |ActiveX Prowl - File Error",
         error + L"scan the start path: "},
        {false, L"", {L"C:\\two.PRW"}, L"open", two + L" reprowl|11 1 "},
        {true, L"N", {L""}, L"open", old + L"save reprowl||Save Changes?"},
        {false, L"O", {L"C:\\proj\\x.txt"}, L"open", old + L" reprowl|11 1 |ActiveX Prowl - File Error",
         error + L"open the project file: line 1: the start path is not an absolute path such as "
                 L"C:\\Folder or \\\\server\\share"},
        {true, L"N", {}, L"open at C:\\two.PRW", two + L" reprowl|11 1 |Save Changes?"},
        {true, L"N", {}, L"close", L"closes " + old + L"save reprowl||Save Changes?"},
        {true, L"X", {}, L"close", L"stays " + old + L"save reprowl||Save Changes?"},
        {true, L"Y", {L""}, L"close", L"stays " + old + L"save reprowl||Save Changes?"},
        {true, L"Y", {L"C:\\c.PRW"}, L"close", L"closes C:\\c.PRW|Source File: C:\\c.PRW|Saved "
         L"File: C:\\c.PRW|OLD | reprowl|11 1 |Save Changes?"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.how + L" " + c.answers));
        Session s(c.changed);
        s.Answer(c.answers, c.files);
        if (c.how.starts_with(L"stop"))
            s.window.window.onPump = [&] { s.logic.OnToolbarButtonClick(L"Stop"); };
        if (c.how.starts_with(L"choose ")) s.Choose(c.how.substr(7));
        const std::wstring at = c.how.substr(c.how.find(L" at ") + 4);
        std::wstring closes;
        if (c.how == L"close")
            closes = s.logic.QueryClose() ? L"closes " : L"stays ";
        else if (c.how.starts_with(L"open at"))
            s.logic.RunCommand([&] { s.commands.Project().OpenProjectPath(at); });
        else if (c.how.find(L" at ") != std::wstring::npos)
            s.logic.RunCommand([&] { s.commands.Project().NewProjectAt(at); });
        else
            s.logic.OnToolbarButtonClick(c.how == L"open" ? L"Open" : L"New");
        EXPECT_EQ(closes + s.Seen(), c.seen);
        for (const auto& m : s.window.prompts.messages)
            if (m.title == L"Save Changes?") {
                EXPECT_EQ(std::tuple(m.text, m.buttons, m.icon, m.defaultButton),
                          std::tuple(L"Save changes to current project?", MsgButtons::YesNo,
                                     MsgIcon::None, 1));
            }
        EXPECT_TRUE(c.failure.empty() ||
                    s.window.prompts.messages.back().text.starts_with(c.failure));
        if (c.how == L"open" && !c.changed) {
            EXPECT_EQ(s.Dialog(0),
                      L"open|ActiveX Prowl Files (*.PRW)|*.PRW|Open ActiveX Prowl "
                      L"Save File|C:\\Program|-");
        }
    }
}

TEST(ProjectCommands, SaveConfirmsAnOverwriteAndAFailedWriteKeepsTheOldFile) {
    Session s(true);
    s.disk.File(L"C:\\b.PRW", "old");
    s.Answer(L"NY", {L"C:\\a.PRW", L"C:\\b.PRW"});
    // The writer lets messages through: a click on New meanwhile only beeps.
    s.window.window.onPump = [&] { s.logic.OnToolbarButtonClick(L"New"); };
    s.logic.OnToolbarButtonClick(L"Save");
    EXPECT_EQ(s.Seen(),
              L"C:\\b.PRW|Source File: C:\\b.PRW|Saved File: C:\\b.PRW|OLD | reprowl|11 1 "
              L"|Replace Save File?|Replace Save File?");
    EXPECT_GT(s.window.window.beeps, 0);
    EXPECT_EQ(s.disk.Bytes(L"C:\\a.PRW") + "|" + s.disk.Bytes(L"C:\\b.PRW"), "keep|" + kOldProject);
    EXPECT_EQ(s.window.prompts.messages[0].text,
              L"File C:\\a.PRW already exists.  Replace this file?");
    EXPECT_EQ(s.Dialog(0),
              L"save|ActiveX Prowl Files (*.PRW)|*.PRW|Save ActiveX Objects|"
              L"C:\\Program|C:\\old.PRW");

    // A check box clicked while the file is written is a change the file does not hold.
    s.window.window.onPump = [&] { s.logic.EnableSave(true); };
    s.Answer(L"", {L"C:\\c.PRW"});
    s.logic.EnableSave(true);
    s.logic.OnMenuClick(L"mnuFileSave");
    EXPECT_TRUE(s.logic.Button(kButtonSave).enabled);
    s.window.window.onPump = nullptr;
    s.disk.writesBeforeFailure = 0;
    s.window.prompts.messages.clear();
    s.Answer(L"YO", {L"C:\\a.PRW"});
    s.logic.OnMenuClick(L"mnuFileSave");
    EXPECT_EQ(s.window.prompts.messages.back().text,
              L"The following error occurred while attempting to save the project file: There "
              L"is not enough space on the disk.");
    s.Answer(L"X", {L"C:\\a.PRW"});  // nobody answered the overwrite question
    s.logic.OnMenuClick(L"mnuFileSave");
    EXPECT_EQ(s.disk.Bytes(L"C:\\a.PRW"), "keep");
    EXPECT_EQ(s.state.SaveFile->FileName, L"C:\\c.PRW");
    EXPECT_TRUE(s.logic.Button(kButtonSave).enabled);
}

}  // namespace
}  // namespace prowl
