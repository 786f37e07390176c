// The change report: what it lists after a re-scan, and when it is shown at all.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TempTree.h"
#include "ui/dialogs/ChangeReport.h"

namespace prowl {
namespace {

struct Rec {
    const wchar_t* key;
    const wchar_t* type;
    const wchar_t* path;
    bool exists = true;
};

ItemCollection Collection(const std::vector<Rec>& records) {
    ItemCollection collection;
    for (const auto& r : records) {
        auto record = std::make_shared<clsObject>();
        record->Key = r.key;
        record->NodeType = r.type;
        record->Path = r.path;
        record->Exists = r.exists;
        record->Text = L"label of " + record->Path;
        collection.Add(record);
    }
    return collection;
}

// key|image|path of each node, in order.
std::vector<std::wstring> Nodes(const DialogControl& list) {
    std::vector<std::wstring> nodes;
    for (const auto& item : list.items)
        nodes.push_back(item.key + L"|" + item.image + L"|" + item.text);
    return nodes;
}

TEST(ChangeReport, ListsRemovedAndAddedRecordsFlatByPathInCollectionOrder) {
    const Rec root{L"K1", L"1", L"C:\\p"};
    struct Case {
        const char* name;
        std::vector<Rec> before, after;
        std::vector<std::wstring> removed, added;
    } cases[] = {
        {"the same paths, whatever else changed",
         {root, {L"K2", L"2", L"C:\\p\\a.dll"}},
         {root, {L"K7", L"3", L"C:\\p\\a.dll", false}},
         {},
         {}},
        {"a folder gone with its two DLLs, one of them already missing",
         {root,
          {L"K2", L"1", L"C:\\p\\sub"},
          {L"K3", L"2", L"C:\\p\\sub\\x.dll", false},
          {L"K4", L"2", L"C:\\p\\sub\\y.dll"}},
         {root},
         {L"K2|A|C:\\p\\sub", L"K3|B|C:\\p\\sub\\x.dll", L"K4|B|C:\\p\\sub\\y.dll"},
         {}},
        {"a new OCX and a type no image stands for",
         {root},
         {root, {L"K2", L"3", L"C:\\p\\n.ocx"}, {L"K3", L"9", L"C:\\p\\odd"}},
         {},
         {L"K2|C|C:\\p\\n.ocx", L"K3||C:\\p\\odd"}},
        {"a file whose name changed only in letter case",
         {root, {L"K2", L"2", L"C:\\p\\a.dll"}},
         {root, {L"K2", L"2", L"C:\\p\\A.DLL"}},
         {L"K2|B|C:\\p\\a.dll"},
         {L"K2|B|C:\\p\\A.DLL"}},
        // Only a hand-edited project file repeats a key: both records are still listed.
        {"a key repeated in one list",
         {root, {L"K2", L"2", L"C:\\p\\a.dll"}, {L"K2", L"2", L"C:\\p\\b.dll"}},
         {root},
         {L"K2|B|C:\\p\\a.dll", L"|B|C:\\p\\b.dll"},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ItemCollection before = Collection(c.before), after = Collection(c.after);
        ChangeReport report;
        report.Init(before, after);
        // Init may run again for the next re-scan: it starts both lists afresh.
        report.Init(before, after);
        EXPECT_EQ(Nodes(report.Control(L"TVRemoved")), c.removed);
        EXPECT_EQ(Nodes(report.Control(L"TVAdded")), c.added);
        EXPECT_EQ(report.ShouldShow(), !c.removed.empty() || !c.added.empty());
        EXPECT_EQ(report.RemovedColl().size(), c.removed.size());
        EXPECT_EQ(report.AddedColl().size(), c.added.size());
    }
}

TEST(ChangeReport, HoldsTheRecordsThemselvesAndClosesWithOk) {
    const ItemCollection before = Collection({{L"K1", L"2", L"C:\\gone.dll"}});
    const ItemCollection after = Collection({{L"K1", L"2", L"C:\\new.dll"}});
    ChangeReport report;
    report.Init(before, after);
    ASSERT_EQ(report.RemovedColl().size(), 1u);
    EXPECT_EQ(report.RemovedColl()[0], before.Item(1));
    EXPECT_EQ(report.AddedColl()[0], after.Item(1));
    EXPECT_FALSE(report.Closed());
    report.Click(L"cmdOK");
    EXPECT_TRUE(report.Closed());
}

}  // namespace
}  // namespace prowl
