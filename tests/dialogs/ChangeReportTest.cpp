// The change report's lists after a re-scan, where a hand-edited project or a disk that
// changes letter case makes them odd.
#include <gtest/gtest.h>

#include <sstream>

#include "ui/dialogs/ChangeReport.h"

namespace prowl {
namespace {

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
        // A key repeated in one list (only a hand-edited project file does it): both listed.
        {L"K2 2 C:\\a.dll;K2 2 C:\\b.dll", L"", L"K2|B|C:\\a.dll;|B|C:\\b.dll;+"},
        // A path repeated on the new side is known for every record that has it.
        {L"K1 2 C:\\a.dll", L"K1 2 C:\\a.dll;K2 2 C:\\a.dll;K3 3 C:\\b.ocx", L"+K3|C|C:\\b.ocx;"},
    };
    for (const auto& [before, after, lists] : cases) {
        ChangeReport report;
        report.Init(Collection(before), Collection(after));
        report.Init(Collection(before), Collection(after));  // the next re-scan starts afresh
        std::wstring shown;  // "key|image|path;" for each node, the removed, "+", the added
        for (const std::wstring list : {L"TVRemoved", L"TVAdded"}) {
            for (const auto& item : report.Control(list).items)
                shown += item.key + L"|" + item.image + L"|" + item.text + L";";
            if (list == L"TVRemoved") shown += L"+";
        }
        EXPECT_EQ(shown, lists) << before;
        EXPECT_TRUE(report.ShouldShow());
    }
}

}  // namespace
}  // namespace prowl
