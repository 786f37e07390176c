// The start path chooser over a machine held in memory: where it opens, what OK hands back,
// and a drive or folder that cannot be read.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempTree.h"
#include "ui/dialogs/FolderChooser.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDialogHost.h"
#include "ui/memory/MemoryDisk.h"

namespace prowl {
namespace {

// Folders by full path with the names in them ("*.txt" are files); a folder in `failing`
// fails its listing.
struct Machine : MemoryDisk, MachineDrives {
    std::map<std::wstring, std::vector<std::wstring>> folders{
        {L"C:\\", {L"work", L"Windows"}},
        {L"C:\\Windows", {}},
        {L"C:\\work", {L"proj"}},
        {L"C:\\work\\proj", {L"beta", L"readme.txt", L"Alpha"}},
        {L"C:\\work\\proj\\Alpha", {}},
        {L"C:\\work\\proj\\beta", {}},
        {L"D:\\", {L"data"}},
        {L"D:\\data", {}},
        {L"\\\\srv\\share\\", {L"dir"}},
        {L"\\\\srv\\share\\dir", {}}};
    std::map<std::wstring, std::wstring> failing;
    std::wstring current = L"c:\\work\\proj";
    std::map<std::wstring, std::wstring> remembered{{L"C:\\", L"C:\\work\\proj"},
                                                    {L"D:\\", L"D:\\data"}};

    ListStatus ListFolder(const std::wstring& folder, std::vector<DirEntry>& entries,
                          std::wstring* error) override {
        entries.clear();
        if (failing.count(folder)) {
            *error = failing[folder];
            return ListStatus::Failed;
        }
        if (!folders.count(folder)) return ListStatus::NotFound;
        for (const auto& name : folders[folder])
            entries.push_back({name, name.ends_with(L".txt") ? kAttrArchive : kAttrDirectory});
        return ListStatus::Ok;
    }
    void CheckVolume(const std::wstring&) override {}
    std::vector<std::wstring> DriveRoots() override { return {L"C:\\", L"D:\\"}; }
    std::wstring CurrentFolder() override { return current; }
    std::wstring CurrentFolderOf(const std::wstring& root) override {
        return remembered.count(root) ? remembered[root] : root;
    }
};

// The directory list as a user reads it: each entry indented by its depth.
std::wstring Entries(const FolderChooser& chooser) {
    std::wstring text;
    for (const auto& item : chooser.Control(L"aDir").items)
        text += std::wstring(static_cast<size_t>(item.indent), L' ') + item.text + L"|";
    return text;
}

// Acts as a user: "open NAME", "highlight NAME", "drive N", "ok", "cancel", "escape".
void Act(FolderChooser& chooser, const std::wstring& script) {
    std::wistringstream words(script);
    for (std::wstring verb, what; words >> verb;) {
        if (verb == L"ok") chooser.OK();
        if (verb == L"cancel") chooser.Cancel();
        if (verb == L"escape") chooser.Dismiss();
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

class FolderChooserTest : public ::testing::Test {
  protected:
    Machine machine;
    ScriptedPrompts prompts;
};

TEST_F(FolderChooserTest, OpensAtTheProcesssDriveAndFolderWithParentsAboveAndSubfoldersBelow) {
    struct Case {
        std::wstring current;
        int32_t drive;
        const wchar_t* driveText;
        std::wstring entries;
        int32_t highlighted;
    } cases[] = {
        {L"c:\\work\\proj", 0, L"C:", L"C:\\| work|  proj|   Alpha|   beta|", 2},
        // A process started in a shared folder: the share is a drive of its own.
        {L"\\\\srv\\share\\dir", 2, L"\\\\srv\\share", L"\\\\srv\\share| dir|", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::ToUtf8(c.current));
        machine.current = c.current;
        FolderChooser chooser(machine, machine, prompts);
        const auto& drives = chooser.Control(L"aDrive");
        ASSERT_EQ(drives.selected, c.drive);
        EXPECT_EQ(drives.items[1].text, L"D:");
        EXPECT_EQ(drives.items[static_cast<size_t>(c.drive)].text, c.driveText);
        EXPECT_EQ(Entries(chooser), c.entries);
        EXPECT_EQ(chooser.Control(L"aDir").selected, c.highlighted);
        EXPECT_FALSE(chooser.Control(L"cmdOK").enabled);
    }
}

TEST_F(FolderChooserTest, OkHandsBackTheCurrentPathOnceItChangedAndEveryOtherWayOutNothing) {
    struct Case {
        const wchar_t* script;
        const wchar_t* folder;  // null: still open
    } cases[] = {
        {L"cancel", L""},
        {L"ok", nullptr},
        {L"open proj ok", nullptr},  // opening the current folder changes nothing
        {L"open beta ok", L"C:\\work\\proj\\beta"},
        {L"open C:\\ ok", L"C:\\"},
        {L"open C:\\ open Windows ok", L"C:\\Windows"},
        {L"open work highlight proj ok", L"C:\\work"},
        {L"drive 1 ok", L"D:\\data"},
        {L"open beta escape", L""},
        {L"open beta cancel", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::ToUtf8(c.script));
        FolderChooser chooser(machine, machine, prompts);
        MemoryDialogHost host;
        host.scripts.push_back([&](ModalDialog&) {
            Act(chooser, c.script);
            EXPECT_EQ(chooser.Closed(), c.folder != nullptr);
            if (!chooser.Closed()) chooser.Cancel();
        });
        host.ShowModal(chooser);
        EXPECT_EQ(chooser.Folder(), c.folder ? c.folder : L"");
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FolderChooserTest, WhatCannotBeReadIsReportedAndTheDialogStaysWhereItWas) {
    machine.failing[L"C:\\work\\proj\\Alpha"] = L"Access is denied.";
    machine.remembered[L"D:\\"] = L"D:\\gone";  // the drive itself is fine: its root opens
    FolderChooser chooser(machine, machine, prompts);
    const std::wstring before = Entries(chooser);
    prompts.messageAnswers.assign(2, MsgAnswer::Ok);

    Act(chooser, L"open Alpha");
    EXPECT_EQ(chooser.Control(L"aDrive").selected, 0);
    EXPECT_EQ(Entries(chooser), before);
    EXPECT_FALSE(chooser.Control(L"cmdOK").enabled);
    machine.folders[L"C:\\work\\proj"] = {L"Alpha"};  // beta is deleted after it was listed
    machine.folders.erase(L"C:\\work\\proj\\beta");
    Act(chooser, L"open beta");
    EXPECT_EQ(Entries(chooser), L"C:\\| work|  proj|   Alpha|") << "the folder that went";
    std::vector<std::wstring> texts;
    for (const auto& message : prompts.messages) {
        EXPECT_EQ(message.title, L"ActiveX Prowl - Choose Start Path");
        EXPECT_EQ(message.icon, MsgIcon::Exclamation);
        texts.push_back(message.text);
    }
    EXPECT_EQ(texts,
              (std::vector<std::wstring>{
                  L"C:\\work\\proj\\Alpha is not accessible.\n\nAccess is denied.",
                  L"C:\\work\\proj\\beta is not accessible.\n\nThe folder does not exist."}));

    Act(chooser, L"drive 1 ok");
    EXPECT_EQ(chooser.Folder(), L"D:\\");
}

}  // namespace
}  // namespace prowl
