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
        for (const wchar_t* folder :
             {L"C:\\work\\proj\\beta", L"C:\\work\\proj\\Alpha", L"C:\\Windows", L"D:\\data"})
            Folder(folder);
        File(L"C:\\work\\proj\\readme.txt");
        listingFaults[L"C:\\work\\proj\\Alpha"] = {};
    }
    std::vector<std::wstring> DriveRoots() override { return {L"C:\\", L"D:\\"}; }
    std::wstring CurrentFolder() override { return current; }
    std::wstring CurrentFolderOf(const std::wstring& root) override {
        return root == L"D:\\" ? remembered : root;
    }
    std::wstring current = L"c:\\work\\proj", remembered = L"D:\\data";
};

// A list as a user reads it: each entry indented by its depth, the selected one marked.
std::wstring Shown(const DialogControl& list) {
    std::wstring text;
    for (const auto& item : list.items)
        text += std::wstring(static_cast<size_t>(item.indent), L' ') +
                (&item - list.items.data() == list.selected ? L"*" : L"") + item.text + L"|";
    return text;
}

TEST(FolderChooser, OpensAtTheProcesssFolderAndHandsBackAChangedPathOrTellsWhatCannotBeRead) {
    const std::wstring all = L"-*C:|D:|C:\\| work|  *proj|   Alpha|   beta|",
                       told = L"|C:\\work\\proj\\";
    // Acts as a user on the entries by their place in the list: "open N", "highlight N",
    // "drive N", "ok", "cancel"; or changes the machine: "share" runs the program from a
    // network share, "remove" deletes beta, "forget" makes D: remember a folder that is gone.
    // Then the folder handed back, or "-", the drives and the list while it is still open; and
    // what it told.
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"share", L"-C:|D:|*\\\\srv\\share|\\\\srv\\share| *dir|"},  // a drive of its own
        {L"ok open 2 ok", all},  // opening the current folder changes nothing
        {L"open 4 ok", L"C:\\work\\proj\\beta"},
        {L"open 0 open 1 ok", L"C:\\Windows"},
        {L"open 1 highlight 2 ok", L"C:\\work"},
        {L"drive 1 ok", L"D:\\data"},
        {L"open 4 cancel", L""},
        {L"open 3 ok", all + told + L"Alpha is not accessible.\n\nAccess is denied."},
        {L"remove open 4 ok", L"-*C:|D:|C:\\| work|  *proj|   Alpha|" + told +
                                  L"beta is not accessible.\n\nThe folder does not exist."},
        {L"forget drive 1 ok", L"D:\\"},  // the drive itself is fine: its root opens
    };
    for (const auto& [script, expected] : cases) {
        Machine machine;
        if (script == std::wstring(L"share")) machine.current = L"\\\\srv\\share\\dir";
        ScriptedPrompts prompts;
        prompts.messageAnswers = {MsgAnswer::Ok};
        FolderChooser chooser(machine, machine, prompts);
        std::wistringstream words(script);
        for (std::wstring verb; words >> verb;) {
            int32_t n = 0;
            if (verb == L"remove") machine.Remove(L"C:\\work\\proj\\beta");
            if (verb == L"forget") machine.remembered = L"D:\\gone";
            if (verb == L"ok" || verb == L"cancel")
                chooser.Click(verb == L"ok" ? L"cmdOK" : L"cmdCancel");
            if (verb == L"drive" && words >> n) chooser.SelectDrive(n);
            if (verb == L"open" && words >> n) chooser.OpenEntry(n);
            if (verb == L"highlight" && words >> n) chooser.Highlight(n);
        }
        std::wstring shown = chooser.Closed() ? chooser.Folder()
                                              : L"-" + Shown(chooser.Control(L"aDrive")) +
                                                    Shown(chooser.Control(L"aDir"));
        for (const auto& m : prompts.messages)
            shown += L"|" + m.text +
                     (m.title == kChooserCaption && m.icon == MsgIcon::Exclamation ? L"" : L"!");
        EXPECT_EQ(shown, expected) << testing::PrintToString(std::wstring(script));
    }
}

}  // namespace
}  // namespace prowl
