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
        const char* name;
        const wchar_t *before, *after, *removed, *added;
    } cases[] = {
        {"the same paths, whatever else changed", L"K1 1 C:\\p;K2 2 C:\\p\\a.dll",
         L"K1 1 C:\\p;K7 3 C:\\p\\a.dll missing", L"", L""},
        {"a folder gone with its two DLLs, one already missing",
         L"K1 1 C:\\p;K2 1 C:\\p\\s;K3 2 C:\\p\\s\\x.dll missing;K4 2 C:\\p\\s\\y.dll",
         L"K1 1 C:\\p", L"K2|A|C:\\p\\s;K3|B|C:\\p\\s\\x.dll;K4|B|C:\\p\\s\\y.dll;", L""},
        {"a new OCX and a type no picture stands for", L"K1 1 C:\\p",
         L"K1 1 C:\\p;K2 3 C:\\p\\n.ocx;K3 9 C:\\p\\odd", L"",
         L"K2|C|C:\\p\\n.ocx;K3||C:\\p\\odd;"},
        {"a name changed only in letter case", L"K2 2 C:\\a.dll", L"K2 2 C:\\A.DLL",
         L"K2|B|C:\\a.dll;", L"K2|B|C:\\A.DLL;"},
        // Only a hand-edited project file repeats a key: both records are listed all the same.
        {"a key repeated in one list", L"K2 2 C:\\a.dll;K2 2 C:\\b.dll", L"",
         L"K2|B|C:\\a.dll;|B|C:\\b.dll;", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
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
