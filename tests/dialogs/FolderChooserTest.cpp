// The start path chooser over a machine held in memory: where it opens, what OK hands back,
// and a drive or folder that cannot be read.
#include <gtest/gtest.h>

#include <sstream>

#include "ui/dialogs/FolderChooser.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDisk.h"

namespace prowl {
namespace {

struct Machine : MemoryDisk, MachineDrives {
    Machine() {
        for (const wchar_t* folder : {L"C:\\work\\proj\\beta", L"C:\\Windows", L"D:\\data"})
            Folder(folder);
        File(L"C:\\work\\proj\\readme.txt");
        Folder(L"C:\\work\\proj\\Alpha");
    }
    std::vector<std::wstring> DriveRoots() override { return {L"C:\\", L"D:\\"}; }
    std::wstring CurrentFolder() override { return current; }
    std::wstring CurrentFolderOf(const std::wstring& root) override {
        return root == L"D:\\" ? remembered : root;
    }
    std::wstring current = L"c:\\work\\proj", remembered = L"D:\\data";
};

// The directory list as a user reads it: each entry indented by its depth.
std::wstring Entries(const FolderChooser& chooser) {
    std::wstring text;
    for (const auto& item : chooser.Control(L"aDir").items)
        text += std::wstring(static_cast<size_t>(item.indent), L' ') + item.text + L"|";
    return text;
}

// Acts as a user: "open NAME", "highlight NAME", "drive N", "ok", "cancel"; or changes the
// machine: "remove" deletes beta, "forget" makes D: remember a folder that is gone.
void Act(FolderChooser& chooser, Machine& machine, const std::wstring& script) {
    std::wistringstream words(script);
    for (std::wstring verb, what; words >> verb;) {
        if (verb == L"remove") machine.Remove(L"C:\\work\\proj\\beta");
        if (verb == L"forget") machine.remembered = L"D:\\gone";
        if (verb == L"ok") chooser.OK();
        if (verb == L"cancel") chooser.Cancel();
        if (verb == L"drive" && words >> what) chooser.SelectDrive(std::stoi(what));
        if ((verb == L"open" || verb == L"highlight") && words >> what) {
            const auto& items = chooser.Control(L"aDir").items;
            int32_t entry = -1;
            for (size_t i = 0; i < items.size(); ++i)
                if (items[i].text == what) entry = static_cast<int32_t>(i);
            verb == L"open" ? chooser.OpenEntry(entry) : chooser.Highlight(entry);
        }
    }
}

TEST(FolderChooser, OpensAtTheProcesssFolderWithParentsAboveAndSortedSubfoldersBelow) {
    // A process started in a shared folder: the share is a drive of its own.
    const std::tuple<std::wstring, int32_t, const wchar_t*, std::wstring> cases[] = {
        {L"c:\\work\\proj", 0, L"C:", L"C:\\| work|  proj|   Alpha|   beta|"},
        {L"\\\\srv\\share\\dir", 2, L"\\\\srv\\share", L"\\\\srv\\share| dir|"},
    };
    for (const auto& [current, drive, driveText, entries] : cases) {
        Machine machine;
        machine.current = current;
        ScriptedPrompts prompts;
        FolderChooser chooser(machine, machine, prompts);
        const auto& drives = chooser.Control(L"aDrive");
        ASSERT_EQ(drives.selected, drive);
        EXPECT_EQ(drives.items[1].text + drives.items[static_cast<size_t>(drive)].text,
                  L"D:" + std::wstring(driveText));
        EXPECT_EQ(Entries(chooser), entries);
        EXPECT_EQ(chooser.Control(L"aDir").selected, current.starts_with(L"c") ? 2 : 1);
    }
}

TEST(FolderChooser, OkHandsBackTheCurrentPathOnceItChangedAndTellsWhatCannotBeRead) {
    const wchar_t* denied = L"C:\\work\\proj\\Alpha is not accessible.\n\nAccess is denied.";
    const wchar_t* gone = L"C:\\work\\proj\\beta is not accessible.\n\nThe folder does not exist.";
    struct Case {
        const wchar_t* script;
        const wchar_t* folder;  // null: still open
        const wchar_t* told;
    } cases[] = {
        {L"ok", nullptr, L""},
        {L"open proj ok", nullptr, L""},  // opening the current folder changes nothing
        {L"open beta ok", L"C:\\work\\proj\\beta", L""},
        {L"open C:\\ open Windows ok", L"C:\\Windows", L""},
        {L"open work highlight proj ok", L"C:\\work", L""},
        {L"drive 1 ok", L"D:\\data", L""},
        {L"open beta cancel", L"", L""},
        {L"open Alpha ok", nullptr, denied},
        {L"remove open beta ok", nullptr, gone},
        {L"forget drive 1 ok", L"D:\\", L""},  // the drive itself is fine: its root opens
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.script)));
        Machine machine;
        machine.listingFaults[L"C:\\work\\proj\\Alpha"] = {};
        ScriptedPrompts prompts;
        prompts.messageAnswers = {MsgAnswer::Ok};
        FolderChooser chooser(machine, machine, prompts);
        const std::wstring before = Entries(chooser);
        Act(chooser, machine, c.script);
        EXPECT_EQ(chooser.Closed(), c.folder != nullptr);
        EXPECT_EQ(chooser.Folder(), c.folder ? c.folder : L"");
        EXPECT_EQ(prompts.messages.empty() ? L"" : prompts.messages[0].text, std::wstring(c.told));
        if (!*c.told) continue;
        EXPECT_EQ(prompts.messages[0].title, kChooserCaption);
        EXPECT_EQ(prompts.messages[0].icon, MsgIcon::Exclamation);
        // It stays where it was; a folder that went leaves the list.
        EXPECT_EQ(Entries(chooser), c.told == gone ? L"C:\\| work|  proj|   Alpha|" : before);
    }
}

}  // namespace
}  // namespace prowl
