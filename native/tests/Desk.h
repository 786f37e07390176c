#pragma once
#include <string>
#include <vector>

#include "model/RegistryReader.h"
#include "registration/RegistrationEngine.h"
#include "support/ScriptedLauncher.h"
#include "ui/ProgramCommands.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDialogHost.h"
#include "ui/memory/MemoryDisk.h"

namespace prowl::test {

// What the commands ask of the machine beyond its disk: one drive, an empty registry.
struct Machine : RegistryReader, MachineDrives, LocaleFormat {
    std::unique_ptr<RegistryKey> Open(RegistryRoot, const std::wstring&, RegistryView) override {
        return nullptr;
    }
    std::vector<std::wstring> DriveRoots() override { return {L"C:\\"}; }
    std::wstring CurrentFolder() override { return current; }
    std::wstring CurrentFolderOf(const std::wstring& root) override { return root; }
    std::wstring GroupedNumber(uint64_t value) override { return std::to_wstring(value); }
    std::wstring DateTime(uint64_t) override { return L""; }
    std::wstring current = L"C:\\";
};

// The main window's logic with the program's own commands over a disk in memory.
struct Desk {
    Desk() { logic.Start(); }
    // A folder dropped on the window: New at that start path. true when it found components.
    bool Scan(const std::wstring& start) {
        window.prompts.messageAnswers.assign(2, MsgAnswer::No);
        logic.OnDropFiles({start});
        window.prompts.messageAnswers.clear();
        return logic.Button(kButtonSave).enabled;
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
        RegistrationEngine(state, disk, launcher, logic, window.prompts, components, components)
            .RegisterMe(record);
        return starts;
    }

    MemoryDisk disk;
    MemoryComponents components{disk};
    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state,
                          {window.commands, window.panels, window.progress, window.filePath,
                           window.tree, window.prompts, window.window, disk}};
    ScriptedLauncher launcher;
    MemoryDialogHost dialogs;
    Machine machine;
    ProgramCommands commands{
        logic,
        {disk, launcher, machine, dialogs, machine, machine, components, components, L"C:\\"}};
};

}  // namespace prowl::test
