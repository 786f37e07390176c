// Re-Prowl through the window's logic: what the disk gained and lost, the choices carried over,
// the report, Stop, and a start path that is gone.
#include <gtest/gtest.h>

#include "scan/PathScanner.h"
#include "ui/MemoryProgram.h"

namespace prowl {
namespace {

// C:\P holds a.dll and Sub, Sub b.ocx: scanned into P, a.dll, SUB, b.ocx. The user excluded
// a.dll and expanded P and SUB; a hand-edited line repeats b.ocx, renamed "Mine" there (the
// later record wins).
struct Project : test::MemoryProgram {
    Project() {
        for (const auto* file : {L"C:\\P\\a.dll", L"C:\\P\\Sub\\b.ocx"}) disk.File(file);
        logic.SetProcess(kProcessNewScan);
        PathScanner(state, disk, logic).ScanProjectPath(L"C:\\P");
        logic.SetProcess(kProcessIdle);
        state.SaveFile->FileName = L"C:\\p.PRW";
        const ItemCollection& items = *state.DigColl;
        auto copy = std::make_shared<clsObject>(*items.Item(4));
        copy->Key = L"K6";
        copy->Text = L"Mine";
        state.DigColl->Add(copy);
        items.Item(1)->Expanded = items.Item(3)->Expanded = L"1";
        items.Item(2)->Included = L"0";
        logic.ProjectTree().BuildProjectTree(items);
        logic.EnableReprowl(true);
        window.window.pointers.clear();
        window.panels.history.clear();
    }
    // "path=IncludedExpanded Text;" for each record, paths after C:\P.
    std::wstring States() const {
        std::wstring states;
        for (const auto& r : *state.DigColl)
            states += r->Path.substr(4) + L"=" + r->Included + r->Expanded + L" " + r->Text + L";";
        return states;
    }
};

TEST(Reprowl, CarriesChoicesOverReportsChangesAndPutsBackWhatStopOrAFailureLeft) {
    enum Outcome { Completed, Stopped, DriveGone };
    const std::wstring done = L"Updating Project...|Checking for project changes...|Ready|";
    struct Case {
        Outcome outcome;
        const wchar_t *gone, *created;  // on disk before the re-scan
        bool saveBefore;
        std::wstring report, seen;  // the status texts but the scanner's own, then any box
        const wchar_t* states;      // null: as they were
    } cases[] = {
        {Completed, nullptr, nullptr, false, L"", done,
         L"=11 P;\\a.dll=00 a.dll;\\Sub=11 SUB;\\Sub\\b.ocx=10 Mine;"},
        {Completed, L"C:\\P\\a.dll", L"C:\\P\\Sub\\n.ocx", false,
         L"added C|\\Sub\\n.ocx;removed B|\\a.dll;", done,
         L"=11 P;\\Sub=11 SUB;\\Sub\\b.ocx=10 Mine;\\Sub\\n.ocx=10 n.ocx;"},
        {Stopped, nullptr, L"C:\\P\\n.dll", true, L"", L"Re-Prowl Stopped|", nullptr},
        {DriveGone, nullptr, L"C:\\P\\n.dll", false, L"",
         L"ActiveX Prowl - File Error! The following error occurred while attempting to scan "
         L"the start path",
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Project p;
        p.logic.EnableSave(c.saveBefore);
        const ProjectState before = p.state;
        const std::wstring oldStates = p.States();
        if (c.gone) p.disk.Remove(c.gone);
        if (c.created) p.disk.File(c.created);
        if (c.outcome == Stopped)
            p.window.window.onPump = [&p] { p.logic.OnToolbarButtonClick(L"Stop"); };
        if (c.outcome == DriveGone) {
            p.state.SaveFile->StartPath = L"Q:\\P";
            p.Answer(L"O");
        }
        std::wstring report;
        p.dialogs.scripts.push_back([&](ModalDialog& dialog) {
            for (const auto* list : {L"TVAdded", L"TVRemoved"}) {
                report += list[2] == L'A' ? L"added " : L"removed ";
                for (const auto& item : dialog.Control(list).items)
                    report += item.image + L"|" + item.text.substr(4) + L";";
            }
            dialog.Click(L"cmdOK");
        });

        p.logic.OnToolbarButtonClick(L"Re-Dig");

        std::wstring seen;
        for (const auto& [panel, text] : p.window.panels.history)
            if (text.find(L"Prowling") == std::wstring::npos) seen += text + L"|";
        for (const auto& m : p.window.prompts.messages)
            seen += m.title + (m.icon == MsgIcon::Critical ? L"! " : L" ") +
                    m.text.substr(0, m.text.find(L": "));
        EXPECT_EQ(std::tuple(seen, report, p.States()),
                  std::tuple(c.seen, c.report, c.states ? c.states : oldStates));
        EXPECT_EQ(p.logic.Button(kButtonSave).enabled, c.saveBefore || !c.report.empty());
        EXPECT_EQ(p.state.SaveFile->FileName, L"C:\\p.PRW");
        const bool aside = !c.states;  // the old project is the one open
        EXPECT_EQ(std::tuple(p.state.DigColl == before.DigColl, p.state.SaveFile == before.SaveFile,
                             p.state.PreDigColl == before.DigColl),
                  std::tuple(aside, aside, true));
        // The tree draws the project's records, not the ones they replaced.
        EXPECT_EQ(p.window.tree.Record(2), p.state.DigColl->Item(1));
        EXPECT_EQ(p.window.window.pointers, (std::vector<int32_t>{13, 1}));
    }
}

}  // namespace
}  // namespace prowl
