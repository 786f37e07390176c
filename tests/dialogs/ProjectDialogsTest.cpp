// The dialogs that steer the project commands: the start path chooser over a machine held in
// memory (where it opens, what OK hands back, a drive or folder that cannot be read), and the
// change report's lists after a re-scan, where a hand-edited project or a disk that changes
// letter case makes them odd.
#include <gtest/gtest.h>

#include <sstream>

#include "ui/MemoryProgram.h"
#include "ui/dialogs/ChangeReport.h"
#include "ui/dialogs/FolderChooser.h"

namespace prowl {
namespace {

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
    // "drive N", "cmdOK", "cmdCancel"; or changes the machine: "share" runs the program from a
    // network share, "remove" deletes beta, "forget" makes D: remember a folder that is gone.
    // Then the folder handed back, or "-", the drives and the list while it is still open; and
    // what it told.
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"share", L"-C:|D:|*\\\\srv\\share|\\\\srv\\share| *dir|"},  // a drive of its own
        {L"cmdOK open 2 cmdOK", all},  // opening the current folder changes nothing
        {L"open 4 cmdOK", L"C:\\work\\proj\\beta"},
        {L"open 0 open 1 cmdOK", L"C:\\Windows"},
        {L"open 1 highlight 2 cmdOK", L"C:\\work"},
        {L"drive 1 cmdOK", L"D:\\data"},
        {L"open 4 cmdCancel", L""},
        {L"open 3 cmdOK", all + told + L"Alpha is not accessible.\n\nAccess is denied."},
        {L"remove open 4 cmdOK", L"-*C:|D:|C:\\| work|  *proj|   Alpha|" + told +
                                     L"beta is not accessible.\n\nThe folder does not exist."},
        {L"forget drive 1 cmdOK", L"D:\\"},  // the drive itself is fine: its root opens
    };
    for (const auto& [script, expected] : cases) {
        MemoryDisk disk;
        for (const wchar_t* folder :
             {L"C:\\work\\proj\\beta", L"C:\\work\\proj\\Alpha", L"C:\\Windows", L"D:\\data"})
            disk.Folder(folder);
        disk.File(L"C:\\work\\proj\\readme.txt");
        disk.listingFaults[L"C:\\work\\proj\\Alpha"] = {};
        test::Machine machine;
        machine.roots = {L"C:\\", L"D:\\"};
        machine.current =
            script == std::wstring(L"share") ? L"\\\\srv\\share\\dir" : L"c:\\work\\proj";
        machine.remembered = L"D:\\data";
        ScriptedPrompts prompts;
        prompts.messageAnswers = {MsgAnswer::Ok};
        FolderChooser chooser(machine, disk, prompts);
        std::wistringstream words(script);
        for (std::wstring verb; words >> verb;) {
            int32_t n = 0;
            if (verb == L"remove") disk.Remove(L"C:\\work\\proj\\beta");
            if (verb == L"forget") machine.remembered = L"D:\\gone";
            if (verb.starts_with(L"cmd")) chooser.Click(verb);
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

// Records written as "key type path", separated by ';'.
ItemCollection Collection(const std::wstring& records) {
    ItemCollection collection;
    std::wistringstream lines(records);
    for (std::wstring line; std::getline(lines, line, L';');) {
        std::wistringstream fields(line);
        auto record = std::make_shared<clsObject>();
        fields >> record->Key >> record->NodeType >> record->Path;
        collection.Add(record);
    }
    return collection;
}

TEST(ChangeReport, ListsRemovedAndAddedRecordsFlatByPathInCollectionOrder) {
    const std::tuple<const wchar_t*, const wchar_t*, std::wstring> cases[] = {
        // A folder gone with its two DLLs: flat, in the old order.
        {L"K1 1 C:\\p;K2 1 C:\\s;K3 2 C:\\s\\x.dll;K4 2 C:\\s\\y.dll", L"K1 1 C:\\p",
         L"K2|A|C:\\s;K3|B|C:\\s\\x.dll;K4|B|C:\\s\\y.dll;+"},
        // A name changed only in letter case; a type no picture stands for.
        {L"K2 2 C:\\a.dll", L"K2 2 C:\\A.DLL;K3 9 C:\\odd",
         L"K2|B|C:\\a.dll;+K2|B|C:\\A.DLL;K3||C:\\odd;"},
        // A path repeated on the new side is known for every record that has it.
        {L"K1 2 C:\\a.dll", L"K1 2 C:\\a.dll;K2 2 C:\\a.dll;K3 3 C:\\b.ocx", L"+K3|C|C:\\b.ocx;"},
    };
    for (const auto& [before, after, lists] : cases) {
        ChangeReport report;
        report.Init(Collection(before), Collection(after));
        std::wstring shown;  // "key|image|path;" for each node, the removed, "+", the added
        for (const std::wstring list : {L"TVRemoved", L"TVAdded"}) {
            for (const auto& item : report.Control(list).items)
                shown += item.key + L"|" + item.image + L"|" + item.text + L";";
            if (list == L"TVRemoved") shown += L"+";
        }
        EXPECT_EQ(report.ShouldShow() ? shown : L"not shown", lists) << before;
    }
}

}  // namespace
}  // namespace prowl
