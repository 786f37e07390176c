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
    // the pointers and the messages' titles (!: critical); every script used up.
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
            seen += L"|" + m.title + (m.icon == MsgIcon::Critical ? L"!" : L"");
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
                       failed = L"|ActiveX Prowl - File Error!", offer = L"|Save Changes?";
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
        // gone); or "at PATH" (New there; "stop": Stop during it), "drop PATH", "close".
        std::wstring how, seen, text{};  // the last message's text begins with `text`
    } cases[] = {
        // clang-format off
        {false, L"", {}, L"New:proj", fresh + L"PROJx a.dllx SUBx b.ocxx |save reprowl|13 1 "},
        {true, L"N", {}, L"New:", L"|Source File: C:\\old.PRW||OLDx |save reprowl|13 1 " + offer},
        {true, L"YO", {L"C:\\gone\\x.PRW"}, L"New",
         p + L"Saving File: ;|OLDx |save reprowl|11 1 " + offer + failed,
         error + L"save the project file: "},
        {false, L"", {}, L"New:bare", fresh + L"| reprowl|13 1 "},
        {true, L"N", {}, L"at C:\\proj stop",
         L"|Source File:  |Finished Prowling.;Process Stopped;|||13 1 " + offer},
        {false, L"O", {}, L"at Q:\\x", old + L" reprowl|13 1 " + failed,
         error + L"scan the start path: "},
        {false, L"", {L"C:\\two.PRW"}, L"Open",
         L"C:\\two.PRW|Source File: C:\\two.PRW|Opened File: C:\\two.PRW;|TWOx | reprowl|11 1 "},
        {true, L"N", {L""}, L"Open", old + L"save reprowl|" + offer},
        {true, L"Y", {L""}, L"drop C:\\two.PRW", old + L"save reprowl|" + offer},
        {false, L"O", {L"C:\\proj\\x.txt"}, L"Open", old + L" reprowl|11 1 " + failed,
         error + L"open the project file: line 1: "},
        {true, L"X", {}, L"close", L"stays " + old + L"save reprowl|" + offer},
        {true, L"Y", {L"C:\\c.PRW"}, L"close",
         L"closes " + saved(L"C:\\c.PRW") + L" reprowl|11 1 " + offer},
        {true, L"NY", {L"C:\\a.PRW", L"C:\\b.PRW"}, L"Save",
         saved(L"C:\\b.PRW") + L" reprowl|11 1 |Replace Save File?|Replace Save File?",
         L"File C:\\b.PRW already exists.  Replace this file?"},
        {true, L"X", {L"C:\\a.PRW"}, L"Save", old + L"save reprowl||Replace Save File?"},
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
    MessageBoxRequest ask;
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
            s.logic.OnDropFiles({c.how.substr(5)});
        else if (key == L"at")
            s.logic.RunCommand([&] {
                s.commands.Project().NewProjectAt(c.how.substr(3, c.how.find(L" stop") - 3));
            });
        else
            s.logic.OnToolbarButtonClick(key);
        EXPECT_EQ(report + s.Seen(), c.seen);
        EXPECT_TRUE(c.text.empty() || s.window.prompts.messages.back().text.starts_with(c.text));
        for (const auto& m : s.window.prompts.messages)
            if (m.title == L"Save Changes?") ask = m;
        if (c.answers == std::wstring(L"NY")) saves = s.window.prompts.fileDialogs;
        // The file replaced holds the project; no other file is written over.
        EXPECT_EQ(s.disk.Bytes(L"C:\\a.PRW") + "|" + s.disk.Bytes(L"C:\\b.PRW"),
                  c.answers == std::wstring(L"NY") ? "keep|" + kOldProject : "keep|keep");
    }
    EXPECT_EQ(std::tuple(ask.text, ask.buttons, ask.icon, ask.defaultButton),
              std::tuple(L"Save changes to current project?", MsgButtons::YesNo, MsgIcon::None, 1));
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
