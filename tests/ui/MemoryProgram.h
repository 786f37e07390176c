#pragma once
// The program in memory: the window's logic over in-memory controls, and the program's commands
// over an in-memory disk, launcher and dialogs on a machine whose one drive is C:; and that
// machine, which the dialogs' tests set up as they need.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/ScriptedLauncher.h"
#include "ui/ProgramCommands.h"
#include "ui/dialogs/FolderChooser.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDialogHost.h"

namespace prowl::test {

// A machine as a test sets it: its drives, the folder the process runs in, the one a drive
// remembers, and a registry whose keys of HKEY_LOCAL_MACHINE are all there, with no subkeys and
// only the text values given by "key|name".
struct Machine : MachineDrives, LocaleFormat, RegistryReader, RegistryKey {
    std::vector<std::wstring> DriveRoots() override { return roots; }
    std::wstring CurrentFolder() override { return current; }
    std::wstring CurrentFolderOf(const std::wstring& root) override {
        return root == remembered.substr(0, 3) ? remembered : root;
    }
    std::wstring GroupedNumber(uint64_t value) override { return std::to_wstring(value); }
    std::wstring DateTime(uint64_t) override { return L""; }
    std::unique_ptr<RegistryKey> Open(RegistryRoot root, const std::wstring& key,
                                      RegistryView) override {
        if (root != RegistryRoot::LocalMachine) return nullptr;
        auto opened = std::make_unique<Machine>(*this);
        opened->path = key;
        return opened;
    }
    std::vector<std::wstring> SubkeyNames() const override { return {}; }
    std::unique_ptr<RegistryKey> OpenSubkey(const std::wstring&) const override { return {}; }
    // Stored as the registry stores text: UTF-16 with its terminating NUL.
    std::optional<RegistryValue> QueryValue(const std::wstring& name) const override {
        const auto found = values.find(path + L"|" + name);
        if (found == values.end() || found->second.empty()) return std::nullopt;
        std::string bytes;
        for (const wchar_t c : found->second + L'\0')
            bytes += {static_cast<char>(c), static_cast<char>(c >> 8)};
        return RegistryValue{kRegSz, bytes};
    }

    std::vector<std::wstring> roots{L"C:\\"};
    std::wstring current = L"C:\\", remembered, path;
    std::map<std::wstring, std::wstring> values;
};

struct MemoryProgram {
    MemoryProgram() { logic.Start(); }
    // Queues answers: to the message boxes Y(es), N(o), O(K) or X (the box could not be shown),
    // to the file dialogs a path ("" cancels, "?" the dialog could not be shown).
    void Answer(const std::wstring& boxes, const std::vector<std::wstring>& files = {}) {
        for (wchar_t a : boxes)
            window.prompts.messageAnswers.push_back(a == L'Y'   ? MsgAnswer::Yes
                                                    : a == L'N' ? MsgAnswer::No
                                                    : a == L'O' ? MsgAnswer::Ok
                                                                : MsgAnswer::NotShown);
        for (const auto& f : files)
            window.prompts.fileAnswers.push_back(
                f.empty()   ? FileDialogResult{}
                : f == L"?" ? FileDialogResult{FileDialogResult::Outcome::Failed, L""}
                            : FileDialogResult{FileDialogResult::Outcome::Chosen, f});
    }
    // The folder chooser opens the entry of that name below C:\ and says OK; "" cancels it.
    void Choose(const std::wstring& name) {
        dialogs.scripts.push_front([name](ModalDialog& dialog) {
            auto& chooser = dynamic_cast<FolderChooser&>(dialog);
            const auto& entries = chooser.Control(L"aDir").items;
            for (size_t i = 0; i < entries.size(); ++i)
                if (entries[i].text == name) chooser.OpenEntry(static_cast<int32_t>(i));
            name.empty() ? chooser.Cancel() : chooser.OK();
        });
    }

    ProjectState state;
    MemoryMainWindow window;
    MemoryDisk& disk = window.files;
    MainWindowLogic logic{state, window.Controls()};
    MemoryDialogHost dialogs;
    ScriptedLauncher launcher;
    Machine machine;
    MemoryComponents components{disk};
    ProgramCommands commands{logic,
                             {disk, launcher, machine, dialogs, machine, machine, components,
                              components, L"C:\\Program"}};
};

}  // namespace prowl::test
