#include <gtest/gtest.h>

#include "model/ItemCollection.h"
#include "model/ProjectState.h"

namespace prowl {
namespace {

ObjectRef Record(int32_t index, const std::wstring& path) {
    auto r = std::make_shared<clsObject>();
    r->Index = index;
    r->Key = MakeKey(index);
    r->Path = path;
    return r;
}

TEST(Records, StartEmpty) {
    clsObject o;
    EXPECT_EQ(o.Index, 0);
    EXPECT_FALSE(o.Exists);
    EXPECT_TRUE(o.Key.empty() && o.Included.empty());
    clsSaveFile s;
    EXPECT_FALSE(s.Altered);
    EXPECT_EQ(s.DLL_Count + s.OCX_Count + s.Folder_Count, 0);
    ProjectState state;
    EXPECT_EQ(state.DigColl->Count(), 0);
    EXPECT_EQ(state.ProcessMode, 0);
    EXPECT_NE(state.DigColl, state.PreDigColl);
}

TEST(Records, KeyIsKFollowedByDecimalIndex) {
    EXPECT_EQ(MakeKey(10), L"K10");
    EXPECT_EQ(MakeKey(0), L"K0");
    EXPECT_EQ(MakeKey(-3), L"K-3");
}

TEST(ItemCollection, OneBasedPositionsAndRemovalShiftsUp) {
    ItemCollection c;
    for (int i = 1; i <= 4; ++i) c.Add(Record(i, L"p" + std::to_wstring(i)));
    EXPECT_EQ(c.Count(), 4);
    EXPECT_EQ(c.Item(1)->Index, 1);
    c.Remove(2);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item(2)->Index, 3);
    EXPECT_THROW(c.Item(0), std::out_of_range);
    EXPECT_THROW(c.Item(4), std::out_of_range);
    c.Truncate(2);
    EXPECT_EQ(c.Count(), 1);
}

TEST(ItemCollection, LookupsTakeTheFirstMatchAndSurviveChanges) {
    ItemCollection c;
    auto first = Record(1, L"C:\\A");
    auto duplicate = Record(1, L"C:\\A");
    c.Add(first);
    EXPECT_EQ(c.FindByKey(L"K1"), first);  // builds the index
    c.Add(duplicate);
    EXPECT_EQ(c.FindByKey(L"K1"), first);
    EXPECT_EQ(c.FindByPath(L"C:\\A"), first);
    EXPECT_EQ(c.FindByPath(L"c:\\a"), nullptr);  // exact, case-sensitive
    EXPECT_EQ(c.FindByKey(L"K9"), nullptr);

    c.Remove(1);
    EXPECT_EQ(c.FindByKey(L"K1"), duplicate);
    duplicate->Key = L"K7";  // rewritten in place: the stale entry must not answer
    EXPECT_EQ(c.FindByKey(L"K1"), nullptr);
    EXPECT_EQ(c.FindByKey(L"K7"), duplicate);
}

TEST(ItemCollection, RecordsAreSharedBetweenCollections) {
    ItemCollection a, b;
    auto r = Record(1, L"x");
    a.Add(r);
    b.Add(r);
    a.Item(1)->Included = L"0";
    EXPECT_EQ(b.Item(1)->Included, L"0");
}

}  // namespace
}  // namespace prowl
