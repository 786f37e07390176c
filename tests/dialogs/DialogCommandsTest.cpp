// Which command opens which dialog on which file, through the window's logic and the program's
// commands, with dialogs shown in memory and the platform's own files and registry.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "support/TempTree.h"
#include "ui/ProgramCommands.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDialogHost.h"
#include "win32/ProgramServices_win.h"

namespace prowl {
namespace {

TEST(DialogCommands, EachOpensItsDialogOnTheFileItNamesGatheringTheRegistryOnlyForDetails) {
    test::TempTree tree;
    tree.File(L"P\\selected.ocx", "not a program");
    tree.File(L"P\\typed.dll", "nor this");
    const std::wstring selected = tree.Path(L"P\\selected.ocx"), typed = tree.Path(L"P\\typed.dll"),
                       gone = tree.Path(L"P\\gone.dll");

    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    logic.Start();
    win32::Win32FileSystem files;
    const win32::Win32ProgramServices real(nullptr, files);
    const ProgramServices& r = real.Services();
    MemoryDialogHost dialogs;
    const ProgramServices services{files,    r.launcher,   r.registry, dialogs,        r.drives,
                                   r.locale, r.components, r.system,   r.programFolder};
    ProgramCommands commands(logic, services);

    for (const std::wstring& path : {selected, typed}) {
        auto record = std::make_shared<clsObject>();
        record->NodeType = path == selected ? kNodeOcx : kNodeDll;
        record->Path = path;
        state.DigColl->Add(record);
    }

    // Whether selected.ocx's node is selected, the path box's text, the command, and what was
    // shown: the dialog's caption and the label that tells the file, "" for none.
    const std::tuple<bool, std::wstring, const wchar_t*, std::wstring> cases[] = {
        {true, typed, L"mnuTreeDetails", L"File Details|" + selected},
        {true, typed, L"mnuViewFile", L"File Details|" + typed},
        {false, typed, L"mnuTreeDetails", L""},
        {true, L"", L"mnuViewFile", L""},
        {true, gone, L"mnuViewFile", L""},  // the file error box instead
        {false, L"", L"mnuViewProject", L"Project Details|0 of 2"},
        {false, L"", L"mnuHelpAbout", L"About ActiveXProwl|ActiveXProwl"},
    };
    for (const auto& [selects, path, command, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(command + path));
        logic.ProjectTree().ClearProjectTree();
        if (selects) {
            window.tree.Add(L"", L"K1", L"selected.ocx");
            window.tree.SetRecord(1, state.DigColl->Item(1));
            logic.ProjectTree().NodeClick(1);
        }
        logic.SetFilePath(path);
        logic.EnableFileDetails(true);
        logic.EnableReprowl(true);
        window.window.pumps = 0;
        window.window.pointers.clear();
        window.prompts.messages.clear();
        window.prompts.messageAnswers = {MsgAnswer::Ok};
        std::wstring shown;
        dialogs.scripts = {[&](ModalDialog& d) {
            const wchar_t* label = d.Form() == L"frmAbout"         ? L"lblTitle"
                                   : d.Form() == L"frmFileDetails" ? L"lblFileName"
                                                                   : L"lblRegistered";
            shown = d.Caption() + L"|" + d.Text(label);
            d.Click(L"cmdOK");
        }};
        logic.OnMenuClick(command);
        const bool gathers = !expected.empty() && expected[0] != L'A';  // not About
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(std::tuple(window.prompts.messages.size(), window.window.pumps > 0,
                             !window.window.pointers.empty() &&
                                 window.window.pointers.front() == kPointerHourglass,
                             logic.Pointer()),
                  std::tuple(path == gone ? 1u : 0u, gathers, gathers, kPointerArrow));
    }
}

}  // namespace
}  // namespace prowl
