// The change report: what it lists after a re-scan, and when it is shown at all.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "ui/dialogs/ChangeReport.h"

namespace prowl {
namespace {

// Records written as "key type path[ missing]", separated by ';'.
ItemCollection Collection(const std::wstring& records) {
    ItemCollection collection;
    std::wistringstream lines(records);
    for (std::wstring line; std::getline(lines, line, L';');) {
        std::wistringstream fields(line);
        auto record = std::make_shared<clsObject>();
        std::wstring missing;
        fields >> record->Key >> record->NodeType >> record->Path >> missing;
        record->Exists = missing.empty();
        record->Text = L"label";
        collection.Add(record);
    }
    return collection;
}

// "key|image|path;" for each node, in order.
std::wstring Nodes(const DialogControl& list) {
    std::wstring nodes;
    for (const auto& item : list.items)
        nodes += item.key + L"|" + item.image + L"|" + item.text + L";";
    return nodes;
}

TEST(ChangeReport, ListsRemovedAndAddedRecordsFlatByPathInCollectionOrder) {
    struct Case {
        const wchar_t *before, *after, *removed, *added;
    } cases[] = {
        // The same paths, whatever else changed.
        {L"K1 1 C:\\p;K2 2 C:\\a.dll", L"K1 1 C:\\p;K7 3 C:\\a.dll missing", L"", L""},
        // A folder gone with its two DLLs, one of them already missing: flat, in the old order.
        {L"K1 1 C:\\p;K2 1 C:\\s;K3 2 C:\\s\\x.dll missing;K4 2 C:\\s\\y.dll", L"K1 1 C:\\p",
         L"K2|A|C:\\s;K3|B|C:\\s\\x.dll;K4|B|C:\\s\\y.dll;", L""},
        // A new OCX, and a type that no picture stands for.
        {L"", L"K2 3 C:\\n.ocx;K3 9 C:\\odd", L"", L"K2|C|C:\\n.ocx;K3||C:\\odd;"},
        // A name changed only in letter case.
        {L"K2 2 C:\\a.dll", L"K2 2 C:\\A.DLL", L"K2|B|C:\\a.dll;", L"K2|B|C:\\A.DLL;"},
        // A key repeated in one list (only a hand-edited project file does it): both listed.
        {L"K2 2 C:\\a.dll;K2 2 C:\\b.dll", L"", L"K2|B|C:\\a.dll;|B|C:\\b.dll;", L""},
        // A path repeated on the new side is known for every record that has it.
        {L"K1 2 C:\\a.dll", L"K1 2 C:\\a.dll;K2 2 C:\\a.dll;K3 2 C:\\b.dll", L"",
         L"K3|B|C:\\b.dll;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const ItemCollection before = Collection(c.before), after = Collection(c.after);
        ChangeReport report;
        report.Init(before, after);
        report.Init(before, after);  // the next re-scan starts both lists afresh
        EXPECT_EQ(Nodes(report.Control(L"TVRemoved")), c.removed);
        EXPECT_EQ(Nodes(report.Control(L"TVAdded")), c.added);
        EXPECT_EQ(report.ShouldShow(), *c.removed || *c.added);
        // The lists hold the records themselves, not copies.
        for (const auto& record : report.RemovedColl())
            EXPECT_EQ(before.FindByPath(record->Path), record);
        for (const auto& record : report.AddedColl())
            EXPECT_EQ(after.FindByPath(record->Path), record);
    }
}

}  // namespace
}  // namespace prowl
