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
        listingFaults[L"C:\\work\\proj\\Alpha"] = {};
    }
    std::vector<std::wstring> DriveRoots() override { return {L"C:\\", L"D:\\"}; }
    std::wstring CurrentFolder() override { return current; }
    std::wstring CurrentFolderOf(const std::wstring& root) override {
        return root == L"D:\\" ? remembered : root;
    }
    std::wstring current = L"c:\\work\\proj", remembered = L"D:\\data";
};

// The directory list as a user reads it: each entry indented by its depth, the selected one
// marked.
std::wstring Entries(const FolderChooser& chooser) {
    const auto& list = chooser.Control(L"aDir");
    std::wstring text;
    for (const auto& item : list.items)
        text += std::wstring(static_cast<size_t>(item.indent), L' ') +
                (&item - list.items.data() == list.selected ? L"*" : L"") + item.text + L"|";
    return text;
}

TEST(FolderChooser, OpensAtTheProcesssFolderEvenOnAShareWhichIsThenADriveOfItsOwn) {
    Machine machine;
    machine.current = L"\\\\srv\\share\\dir";
    ScriptedPrompts prompts;
    FolderChooser chooser(machine, machine, prompts);
    std::wstring drives;
    for (const auto& item : chooser.Control(L"aDrive").items) drives += item.text + L"|";
    EXPECT_EQ(drives + std::to_wstring(chooser.Control(L"aDrive").selected) + Entries(chooser),
              L"C:|D:|\\\\srv\\share|2\\\\srv\\share| *dir|");
}

TEST(FolderChooser, OkHandsBackTheCurrentPathOnceItChangedAndTellsWhatCannotBeRead) {
    const std::wstring all = L"C:\\| work|  *proj|   Alpha|   beta|", denied = L"Access is denied.",
                       gone = L"The folder does not exist.";
    // Acts as a user: "open NAME", "highlight NAME", "drive N", "ok", "cancel"; or changes the
    // machine: "remove" deletes beta, "forget" makes D: remember a folder that is gone. Then
    // the folder handed back ("-": still open), the entries, and what it told of which folder.
    const std::tuple<const wchar_t*, const wchar_t*, std::wstring, std::wstring> cases[] = {
        {L"ok open proj ok", L"-", all, L""},  // opening the current folder changes nothing
        {L"open beta ok", L"C:\\work\\proj\\beta", L"", L""},
        {L"open C:\\ open Windows ok", L"C:\\Windows", L"", L""},
        {L"open work highlight proj ok", L"C:\\work", L"", L""},
        {L"drive 1 ok", L"D:\\data", L"", L""},
        {L"open beta cancel", L"", L"", L""},
        {L"open Alpha ok", L"-", all, L"Alpha is not accessible.\n\n" + denied},
        {L"remove open beta ok", L"-", L"C:\\| work|  *proj|   Alpha|",
         L"beta is not accessible.\n\n" + gone},
        {L"forget drive 1 ok", L"D:\\", L"", L""},  // the drive itself is fine: its root opens
    };
    for (const auto& [script, folder, entries, told] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(script)));
        Machine machine;
        ScriptedPrompts prompts;
        prompts.messageAnswers = {MsgAnswer::Ok};
        FolderChooser chooser(machine, machine, prompts);
        std::wistringstream words(script);
        for (std::wstring verb, what; words >> verb;) {
            if (verb == L"remove") machine.Remove(L"C:\\work\\proj\\beta");
            if (verb == L"forget") machine.remembered = L"D:\\gone";
            if (verb == L"ok" || verb == L"cancel")
                chooser.Click(verb == L"ok" ? L"cmdOK" : L"cmdCancel");
            if (verb == L"drive" && words >> what) chooser.SelectDrive(std::stoi(what));
            if ((verb == L"open" || verb == L"highlight") && words >> what) {
                const auto& items = chooser.Control(L"aDir").items;
                const auto entry = std::find_if(items.begin(), items.end(), [&](const auto& item) {
                    return item.text == what;
                });
                const auto index = static_cast<int32_t>(entry - items.begin());
                verb == L"open" ? chooser.OpenEntry(index) : chooser.Highlight(index);
            }
        }
        EXPECT_EQ(chooser.Closed() ? chooser.Folder() : L"-", folder);
        EXPECT_EQ(chooser.Closed() ? L"" : Entries(chooser), entries) << "it stays where it was";
        std::wstring text;
        for (const auto& m : prompts.messages)
            text += m.text +
                    (m.title == kChooserCaption && m.icon == MsgIcon::Exclamation ? L"" : L"!");
        EXPECT_EQ(text, told.empty() ? L"" : L"C:\\work\\proj\\" + told);
    }
}

}  // namespace
}  // namespace prowl
