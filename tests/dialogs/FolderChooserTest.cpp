// The start path chooser over a machine held in memory: where it opens, what OK hands back,
// and a drive or folder that cannot be read.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/ProwlError.h"
#include "support/EmptyFileSystem.h"
#include "support/TempTree.h"
#include "ui/dialogs/FolderChooser.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDialogHost.h"

namespace prowl {
namespace {

// Folders by full path; a name ending in ".txt" is a file. Drives in `unready` fail their
// volume check, folders in `failing` fail their listing.
struct Disk : test::EmptyFileSystem {
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
        {L"\\\\srv\\share\\dir", {}},
    };
    std::map<std::wstring, std::wstring> unready{{L"Q:", L"The device is not ready."}};
    std::map<std::wstring, std::wstring> failing;

    ListStatus ListFolder(const std::wstring& folder, std::vector<DirEntry>& entries,
                          std::wstring* error) override {
        entries.clear();
        if (auto it = failing.find(folder); it != failing.end()) {
            *error = it->second;
            return ListStatus::Failed;
        }
        const auto it = folders.find(folder);
        if (it == folders.end()) return ListStatus::NotFound;
        for (const auto& name : it->second)
            entries.push_back({name, name.ends_with(L".txt") ? kAttrArchive : kAttrDirectory});
        return ListStatus::Ok;
    }
    void CheckVolume(const std::wstring& path) override {
        if (auto it = unready.find(path.substr(0, 2)); it != unready.end())
            throw ProwlError(it->second);
    }
};

struct Drives : MachineDrives {
    std::wstring current = L"c:\\work\\proj";
    std::map<std::wstring, std::wstring> remembered{{L"C:\\", L"C:\\work\\proj"},
                                                    {L"D:\\", L"D:\\data"}};
    std::vector<std::wstring> DriveRoots() override { return {L"C:\\", L"D:\\", L"Q:\\"}; }
    std::wstring CurrentFolder() override { return current; }
    std::wstring CurrentFolderOf(const std::wstring& root) override {
        const auto it = remembered.find(root);
        return it == remembered.end() ? root : it->second;
    }
};

std::vector<std::wstring> Texts(const DialogControl& list) {
    std::vector<std::wstring> texts;
    for (const auto& item : list.items)
        texts.push_back(std::wstring(static_cast<size_t>(item.indent), L' ') + item.text);
    return texts;
}

int32_t Entry(const FolderChooser& chooser, const std::wstring& text) {
    const auto& items = chooser.Control(L"aDir").items;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].text == text) return static_cast<int32_t>(i);
    ADD_FAILURE() << "no entry " << test::ToUtf8(text);
    return -1;
}

class FolderChooserTest : public ::testing::Test {
  protected:
    Disk disk;
    Drives drives;
    ScriptedPrompts prompts;
};

TEST_F(FolderChooserTest, OpensAtTheProcesssDriveAndFolderWithParentsAboveAndSubfoldersBelow) {
    struct Case {
        std::wstring current;
        std::vector<std::wstring> drives;
        int32_t drive;
        std::vector<std::wstring> entries;  // indented by depth
        int32_t highlighted;
    } cases[] = {
        {L"c:\\work\\proj",
         {L"C:", L"D:", L"Q:"},
         0,
         {L"C:\\", L" work", L"  proj", L"   Alpha", L"   beta"},
         2},
        // A process started in a shared folder: the share is a drive of its own.
        {L"\\\\srv\\share\\dir",
         {L"C:", L"D:", L"Q:", L"\\\\srv\\share"},
         3,
         {L"\\\\srv\\share", L" dir"},
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::ToUtf8(c.current));
        drives.current = c.current;
        FolderChooser chooser(drives, disk, prompts);
        EXPECT_EQ(Texts(chooser.Control(L"aDrive")), c.drives);
        EXPECT_EQ(chooser.Control(L"aDrive").selected, c.drive);
        EXPECT_EQ(Texts(chooser.Control(L"aDir")), c.entries);
        EXPECT_EQ(chooser.Control(L"aDir").selected, c.highlighted);
        EXPECT_FALSE(chooser.Control(L"cmdOK").enabled);
        EXPECT_EQ(chooser.Folder(), L"");
    }
}

TEST_F(FolderChooserTest, OkHandsBackTheCurrentPathOnlyAfterItChangedAndEveryOtherWayOutNothing) {
    using Script = std::function<void(FolderChooser&)>;
    struct Case {
        const char* name;
        Script act;
        std::wstring folder;
        bool closed;
    } cases[] = {
        {"cancel at once", [](FolderChooser& c) { c.Cancel(); }, L"", true},
        {"OK before any change", [](FolderChooser& c) { c.OK(); }, L"", false},
        {"reopening the current folder is no change",
         [](FolderChooser& c) {
             c.OpenEntry(Entry(c, L"proj"));
             c.OK();
         },
         L"", false},
        {"a subfolder",
         [](FolderChooser& c) {
             c.OpenEntry(Entry(c, L"beta"));
             c.OK();
         },
         L"C:\\work\\proj\\beta", true},
        {"the root",
         [](FolderChooser& c) {
             c.OpenEntry(Entry(c, L"C:\\"));
             c.OK();
         },
         L"C:\\", true},
        {"a parent, then one of its subfolders",
         [](FolderChooser& c) {
             c.OpenEntry(Entry(c, L"C:\\"));
             c.OpenEntry(Entry(c, L"Windows"));
             c.OK();
         },
         L"C:\\Windows", true},
        {"highlighting is not opening",
         [](FolderChooser& c) {
             c.OpenEntry(Entry(c, L"work"));
             c.Highlight(Entry(c, L"proj"));
             c.OK();
         },
         L"C:\\work", true},
        {"another drive opens where it was last used",
         [](FolderChooser& c) {
             c.SelectDrive(1);
             c.OK();
         },
         L"D:\\data", true},
        {"escape or the close box after a change",
         [](FolderChooser& c) {
             c.OpenEntry(Entry(c, L"beta"));
             c.Dismiss();
         },
         L"", true},
        {"cancel after a change",
         [](FolderChooser& c) {
             c.OpenEntry(Entry(c, L"beta"));
             c.Cancel();
         },
         L"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FolderChooser chooser(drives, disk, prompts);
        MemoryDialogHost host;
        host.scripts.push_back([&](ModalDialog&) {
            c.act(chooser);
            if (!c.closed) {
                EXPECT_FALSE(chooser.Closed());
                chooser.Cancel();
            }
        });
        host.ShowModal(chooser);
        EXPECT_EQ(chooser.Folder(), c.folder);
        EXPECT_TRUE(prompts.messages.empty());
    }
}

TEST_F(FolderChooserTest, ADriveThatCannotBeReadIsReportedAndTheDialogStaysOnTheDriveItHad) {
    FolderChooser chooser(drives, disk, prompts);
    const auto entries = chooser.Control(L"aDir").items;
    prompts.messageAnswers.push_back(MsgAnswer::Ok);
    chooser.SelectDrive(2);

    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, L"Q:\\ is not accessible.\n\nThe device is not ready.");
    EXPECT_EQ(prompts.messages[0].title, L"ActiveX Prowl - Choose Start Path");
    EXPECT_EQ(prompts.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(chooser.Control(L"aDrive").selected, 0);
    EXPECT_EQ(chooser.Control(L"aDir").items, entries);
    EXPECT_FALSE(chooser.Control(L"cmdOK").enabled);

    // Still usable: the same drive can be left and chosen again.
    chooser.SelectDrive(1);
    chooser.SelectDrive(0);
    chooser.OK();
    EXPECT_EQ(chooser.Folder(), L"C:\\work\\proj");
}

TEST_F(FolderChooserTest, AFolderThatCannotBeReadIsReportedAndOneThatWentLeavesTheList) {
    // The folder a drive remembers has gone: its root opens instead, without a word.
    drives.remembered[L"D:\\"] = L"D:\\gone";
    disk.failing[L"C:\\work\\proj\\Alpha"] = L"Access is denied.";
    FolderChooser chooser(drives, disk, prompts);
    disk.folders.erase(L"C:\\work\\proj\\beta");
    disk.folders[L"C:\\work\\proj"] = {L"Alpha"};
    prompts.messageAnswers = {MsgAnswer::Ok, MsgAnswer::Ok};

    chooser.OpenEntry(Entry(chooser, L"beta"));
    chooser.OpenEntry(Entry(chooser, L"Alpha"));
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].text,
              L"C:\\work\\proj\\beta is not accessible.\n\nThe folder does not exist.");
    EXPECT_EQ(prompts.messages[1].text,
              L"C:\\work\\proj\\Alpha is not accessible.\n\nAccess is denied.");
    EXPECT_EQ(Texts(chooser.Control(L"aDir")),
              (std::vector<std::wstring>{L"C:\\", L" work", L"  proj", L"   Alpha"}));
    EXPECT_EQ(chooser.CurrentPath(), L"C:\\work\\proj");

    chooser.SelectDrive(1);
    EXPECT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(chooser.CurrentPath(), L"D:\\");
}

}  // namespace
}  // namespace prowl
