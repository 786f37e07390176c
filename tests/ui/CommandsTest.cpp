// The program's commands through the window's logic, over the in-memory disk with scripted
// answers: New, Open, Save and closing, Re-Prowl, and the tree's registration commands.
#include <gtest/gtest.h>

#include <algorithm>

#include "ui/MemoryProgram.h"

namespace prowl {
namespace {

// A project file: the start path, then a record a line, its fields apart by blanks.
std::string Prw(std::vector<std::string> lines) {
    std::string text = lines[0];
    for (std::size_t i = 1; i < lines.size(); ++i) text += "\r\n" + lines[i];
    std::replace(text.begin(), text.end(), ' ', '\t');
    return text;
}
const std::string kOldProject = Prw({"C:\\Old", "1 K1 1 0 C:\\Old K0 OLD 1 0"});
// P holds a.dll and Sub, Sub b.ocx. The user excluded a.dll and expanded P and SUB.
const std::vector<std::string> kP = {
    "C:\\P", "1 K1 1 0 C:\\P K0 P 1 1", "2 K2 2 1 C:\\P\\a.dll K1 a.dll 0 0",
    "3 K3 1 1 C:\\P\\Sub K1 SUB 1 1", "4 K4 3 3 C:\\P\\Sub\\b.ocx K3 b.ocx 1 0"};

// The program with C:\old.PRW open, changed or not.
struct Session : test::MemoryProgram {
    explicit Session(const std::string& project = kOldProject, bool changed = false) {
        for (const auto* f :
             {L"C:\\proj\\a.dll", L"C:\\proj\\sub\\b.ocx", L"C:\\proj\\x.txt", L"C:\\bare\\x.txt",
              L"C:\\a.PRW", L"C:\\P\\a.dll", L"C:\\P\\Sub\\b.ocx"})
            disk.File(f, "keep");
        disk.File(L"C:\\old.PRW", project);
        disk.File(L"C:\\two.PRW", Prw({"C:\\Two", "1 K1 1 0 C:\\Two K0 TWO 1 0"}));
        commands.Project().OpenProjectPath(L"C:\\old.PRW");
        logic.EnableSave(changed);
        window.window.pointers.clear();
        window.panels.history.clear();
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
        EXPECT_TRUE(dialogs.scripts.empty() && window.prompts.messageAnswers.empty() &&
                    window.prompts.fileAnswers.empty());
        return seen;
    }
};

TEST(ProjectCommands, NewAndOpenAskFirstAndEitherFinishOrLeaveTheProjectAsItWas) {
    const std::wstring old = L"C:\\old.PRW|Source File: C:\\old.PRW|Opened File: C:\\old.PRW|OLD |";
    const std::wstring fresh = L"|Source File: ** New ActiveX Prowl File **|Finished Prowling.|";
    const std::wstring error = L"The following error occurred while attempting to ";
    struct Case {
        bool changed;
        const wchar_t* answers;           // to the message boxes in turn
        std::vector<std::wstring> files;  // the Save and Open dialogs' answers
        // "new" (New, no chooser shown), "choose NAME" (New, the chooser's answer; "" cancels),
        // "new at PATH", "stop at PATH" (Stop during it), "open", "drop PATH", "close".
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
        {true, L"N", {}, L"stop at C:\\proj",
         L"|Source File:  |Process Stopped|||13 1 |Save Changes?"},
        {false, L"O", {}, L"new at Q:\\x", old + L" reprowl|13 1 |ActiveX Prowl - File Error",
         error + L"scan the start path: "},
        {false, L"", {L"C:\\two.PRW"}, L"open", L"C:\\two.PRW|Source File: C:\\two.PRW|Opened File: C:\\two.PRW|TWO | reprowl|11 1 "},
        {true, L"N", {L""}, L"open", old + L"save reprowl||Save Changes?"},
        {true, L"Y", {L""}, L"drop C:\\two.PRW", old + L"save reprowl||Save Changes?"},
        {false, L"O", {L"C:\\proj\\x.txt"}, L"open", old + L" reprowl|11 1 |ActiveX Prowl - File Error",
         error + L"open the project file: line 1: "},
        {true, L"N", {}, L"close", L"closes " + old + L"save reprowl||Save Changes?"},
        {true, L"X", {}, L"close", L"stays " + old + L"save reprowl||Save Changes?"},
        {true, L"Y", {L""}, L"close", L"stays " + old + L"save reprowl||Save Changes?"},
        {true, L"Y", {L"C:\\c.PRW"}, L"close", L"closes C:\\c.PRW|Source File: C:\\c.PRW|Saved "
         L"File: C:\\c.PRW|OLD | reprowl|11 1 |Save Changes?"},
        // clang-format on
    };
    MessageBoxRequest ask;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.how + L" " + c.answers));
        Session s(kOldProject, c.changed);
        s.Answer(c.answers, c.files);
        if (c.how.starts_with(L"stop"))
            s.window.window.onPump = [&] { s.logic.OnToolbarButtonClick(L"Stop"); };
        if (c.how.starts_with(L"choose ")) s.Choose(c.how.substr(7));
        const std::wstring at = c.how.substr(c.how.find(L" at ") + 4);
        std::wstring closes;
        if (c.how == L"close")
            closes = s.logic.QueryClose() ? L"closes " : L"stays ";
        else if (c.how.starts_with(L"drop "))
            s.logic.OnDropFiles({c.how.substr(5)});
        else if (c.how.find(L" at ") != std::wstring::npos)
            s.logic.RunCommand([&] { s.commands.Project().NewProjectAt(at); });
        else
            s.logic.OnToolbarButtonClick(c.how == L"open" ? L"Open" : L"New");
        EXPECT_EQ(closes + s.Seen(), c.seen);
        for (const auto& m : s.window.prompts.messages)
            if (m.title == L"Save Changes?") ask = m;
        EXPECT_TRUE(c.failure.empty() ||
                    s.window.prompts.messages.back().text.starts_with(c.failure));
    }
    EXPECT_EQ(std::tuple(ask.text, ask.buttons, ask.icon, ask.defaultButton),
              std::tuple(L"Save changes to current project?", MsgButtons::YesNo, MsgIcon::None, 1));
}

TEST(ProjectCommands, SaveConfirmsAnOverwriteAndAFailedWriteKeepsTheOldFile) {
    Session s(kOldProject, true);
    s.disk.File(L"C:\\b.PRW", "old");
    s.Answer(L"NY", {L"C:\\a.PRW", L"C:\\b.PRW"});
    s.logic.OnToolbarButtonClick(L"Save");
    EXPECT_EQ(s.Seen(),
              L"C:\\b.PRW|Source File: C:\\b.PRW|Saved File: C:\\b.PRW|OLD | reprowl|11 1 "
              L"|Replace Save File?|Replace Save File?");
    EXPECT_EQ(s.disk.Bytes(L"C:\\a.PRW") + "|" + s.disk.Bytes(L"C:\\b.PRW"), "keep|" + kOldProject);
    EXPECT_EQ(s.window.prompts.messages[0].text,
              L"File C:\\a.PRW already exists.  Replace this file?");
    const auto& dialogs = s.window.prompts.fileDialogs;  // titles: the journey
    EXPECT_EQ(std::tuple(dialogs[0].filter, dialogs[0].initialFolder, *dialogs[0].initialFileName,
                         *dialogs[1].initialFileName),
              std::tuple(L"ActiveX Prowl Files (*.PRW)|*.PRW", L"C:\\Program", L"C:\\old.PRW",
                         L"C:\\a.PRW"));

    // A check box clicked while the file is written is a change the file does not hold, so
    // Save stays on for the saves after it: one onto a full disk, one whose question is lost.
    s.window.window.onPump = [&] { s.logic.EnableSave(true); };
    s.Answer(L"YOX", {L"C:\\c.PRW", L"C:\\a.PRW", L"C:\\a.PRW"});
    s.logic.EnableSave(true);
    s.logic.OnMenuClick(L"mnuFileSave");
    s.window.window.onPump = nullptr;
    s.disk.writesBeforeFailure = 0;
    s.logic.OnMenuClick(L"mnuFileSave");
    s.logic.OnMenuClick(L"mnuFileSave");
    EXPECT_EQ(s.Seen(),
              L"C:\\c.PRW|Source File: C:\\c.PRW|Saving File: |OLD |save reprowl|11 1 11 1 11 1 "
              L"|Replace Save File?|Replace Save File?|Replace Save File?|ActiveX Prowl - "
              L"File Error|Replace Save File?");
    EXPECT_EQ(s.disk.Bytes(L"C:\\a.PRW"), "keep");
}

TEST(Reprowl, CarriesChoicesOverReportsChangesAndPutsBackWhatStopOrAFailureLeft) {
    const std::wstring done = L"Updating Project...|Checking for project changes...|Ready|";
    // How the re-scan goes: the report it shows, the status texts but the scanner's own, any
    // box; then "path=IncludedExpanded Text;" for each record, paths after C:\P ("": as they were).
    const std::tuple<const wchar_t*, bool, std::wstring, const wchar_t*> cases[] = {
        {L"", false, done, L"=11 P;\\a.dll=00 a.dll;\\Sub=11 SUB;\\Sub\\b.ocx=10 Mine;"},
        {L"change", false, L"added \\Sub\\n.ocx;removed \\a.dll;" + done,
         L"=11 P;\\Sub=11 SUB;\\Sub\\b.ocx=10 Mine;\\Sub\\n.ocx=10 n.ocx;"},
        {L"stop", true, L"Re-Prowl Stopped|", L""},
        {L"drive", false,
         L"ActiveX Prowl - File Error! The following error occurred while attempting to scan "
         L"the start path",
         L""},
    };
    // A hand-edited line repeats b.ocx, renamed "Mine" there: the later record wins.
    std::vector<std::string> lines = kP;
    lines.push_back("5 K6 3 3 C:\\P\\Sub\\b.ocx K3 Mine 1 0");
    for (const auto& [how, saveBefore, expected, states] : cases) {
        SCOPED_TRACE(how);
        const std::wstring step = how;
        Session p(Prw(lines));
        p.logic.EnableSave(saveBefore);
        const auto records = [&p] {
            std::wstring shown;
            for (const auto& r : *p.state.DigColl)
                shown +=
                    r->Path.substr(4) + L"=" + r->Included + r->Expanded + L" " + r->Text + L";";
            return shown;
        };
        const std::wstring before = records();
        if (!step.empty()) p.disk.File(L"C:\\P\\Sub\\n.ocx");
        if (step == L"change") p.disk.Remove(L"C:\\P\\a.dll");
        if (step == L"stop")
            p.window.window.onPump = [&p] { p.logic.OnToolbarButtonClick(L"Stop"); };
        if (step == L"drive") p.state.SaveFile->StartPath = L"Q:\\P";
        p.Answer(step == L"drive" ? L"O" : L"");
        std::wstring seen;
        p.dialogs.scripts.push_back([&](ModalDialog& dialog) {
            for (const auto* list : {L"TVAdded", L"TVRemoved"}) {
                seen += list[2] == L'A' ? L"added " : L"removed ";
                for (const auto& item : dialog.Control(list).items)
                    seen += item.text.substr(4) + L";";
            }
            dialog.Click(L"cmdOK");
        });

        p.logic.OnToolbarButtonClick(L"Re-Dig");

        for (const auto& [panel, text] : p.window.panels.history)
            if (text.find(L"Prowling") == std::wstring::npos) seen += text + L"|";
        for (const auto& m : p.window.prompts.messages)
            seen += m.title + (m.icon == MsgIcon::Critical ? L"! " : L" ") +
                    m.text.substr(0, m.text.find(L": "));
        EXPECT_EQ(std::tuple(seen, records()), std::tuple(expected, *states ? states : before));
        EXPECT_EQ(p.logic.Button(kButtonSave).enabled, saveBefore || step == L"change");
        EXPECT_EQ(p.state.SaveFile->FileName, L"C:\\old.PRW");
        EXPECT_EQ(p.window.window.pointers, (std::vector<int32_t>{13, 1}));
    }
}

TEST(NodeCommands, EachPopupCommandActsOnTheRecordOfTheClickedNode) {
    Session p(Prw(kP));
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
    // File Details shows the clicked node's file, View > File Properties the path in the box;
    // a file that cannot be read gets its box and no dialog.
    std::wstring shown;
    p.Answer(L"O");
    for (const auto& [item, path] : {std::pair(L"mnuTreeDetails", L"C:\\P\\Sub\\b.ocx"),
                                     std::pair(L"mnuViewFile", L"C:\\P\\Sub\\b.ocx"),
                                     std::pair(L"mnuViewFile", L"C:\\P\\gone.dll")}) {
        p.window.tree.UserClick(3);
        p.logic.SetFilePath(path);
        p.dialogs.scripts.push_back([&](ModalDialog& d) {
            shown += d.Text(L"lblFileName") + L";";
            d.Click(L"cmdOK");
        });
        p.logic.OnMenuClick(item);
    }
    EXPECT_EQ(std::pair(shown, p.window.prompts.messages.back().title),
              std::pair(std::wstring(L"C:\\P\\a.dll;C:\\P\\Sub\\b.ocx;"),
                        std::wstring(L"ActiveX Prowl - File Error")));
}

}  // namespace
}  // namespace prowl
