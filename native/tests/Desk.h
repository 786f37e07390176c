#pragma once
#include <string>
#include <vector>

#include "registration/RegistrationEngine.h"
#include "scan/PathScanner.h"
#include "support/ScriptedLauncher.h"
#include "ui/MainWindowLogic.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDisk.h"

namespace prowl::test {

// The main window's logic over the disk, and what a user would do through its commands.
struct Desk {
    Desk() { logic.Start(); }
    bool Scan(const std::wstring& start) {
        logic.SetProcess(kProcessNewScan);
        const bool found = PathScanner(state, disk, logic).ScanProjectPath(start);
        logic.SetProcess(kProcessIdle);
        logic.ProjectTree().BuildProjectTree(*state.DigColl);
        return found;
    }
    int32_t NodeOf(const std::wstring& text) {
        for (int32_t n = 2; n <= window.tree.Count(); ++n)
            if (window.tree.Record(n)->Text == text) return n;
        return 0;
    }
    // Every launch as "command line|working folder"; each exits with the code set for it.
    std::vector<std::wstring> Register(const ObjectRef& record, uint32_t exitCode) {
        std::vector<std::wstring> starts;
        launcher.onStart = [&](const std::wstring& start) {
            launcher.scripts[start].code = exitCode;
            starts.push_back(start.substr(start.find(L'|') + 1));
        };
        window.prompts.messageAnswers.assign(4, MsgAnswer::Ok);
        Engine().RegisterMe(record);
        return starts;
    }

    RegistrationEngine Engine() {
        return {state, disk, launcher, logic, window.prompts, components, components};
    }

    MemoryDisk disk;
    MemoryComponents components{disk};
    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state,
                          {window.commands, window.panels, window.progress, window.filePath,
                           window.tree, window.prompts, window.window, disk}};
    ScriptedLauncher launcher;
};

}  // namespace prowl::test
