#include <gtest/gtest.h>

#include "model/ItemCollection.h"

namespace prowl {
namespace {

TEST(ItemCollection, LookUpsFindTheFirstMatchThroughAnyChangeAndKeysAreFixedOnceAdded) {
    // Hand-edited files may repeat keys and paths: records 1, 3 and 5 share K1 and C:\A.
    ItemCollection c, other;
    std::vector<ObjectRef> r;
    for (int i = 1; i <= 6; ++i)
        r.push_back(
            std::make_shared<clsObject>(clsObject{i, 0, L"", i % 2 ? L"C:\\A" : L"C:\\B", false,
                                                  MakeKey(i % 2 ? 1 : i), L"", L"", L"", L""}));
    c.Add(r[0]);
    EXPECT_EQ(c.FindByKey(L"K1"), r[0]);  // the index is built here and kept from now on
    for (int i = 1; i < 6; ++i) c.Add(r[i]);
    EXPECT_EQ(std::tuple(c.FindByPath(L"C:\\A"), c.FindByPath(L"c:\\a"), c.FindByKey(L"K9")),
              std::tuple(r[0], nullptr, nullptr));
    c.Remove(1);
    EXPECT_EQ(std::tuple(c.Count(), c.Item(2), c.FindByKey(L"K1"), c.FindByPath(L"C:\\A")),
              std::tuple(5, r[2], r[2], r[2]));
    c.Remove(3);  // r[3], K4
    EXPECT_EQ(std::tuple(c.FindByKey(L"K4"), c.FindByKey(L"K6")), std::tuple(nullptr, r[5]));
    EXPECT_THROW(c.Item(0), std::out_of_range);
    EXPECT_THROW(c.Item(5), std::out_of_range);
    c.Truncate(2);  // leaves r[1] alone
    EXPECT_EQ(std::tuple(c.Count(), c.FindByKey(L"K1"), c.FindByPath(L"C:\\B")),
              std::tuple(1, nullptr, r[1]));

    other.Add(r[0]);  // shared, as PreDigColl and DigColl share records
    EXPECT_THROW(r[0]->Key = L"K2", std::logic_error);
    EXPECT_THROW(r[0]->Path = std::wstring(L"C:\\B"), std::logic_error);
    EXPECT_NO_THROW(r[0]->Path = L"C:\\A") << "the same value is no change";
    clsObject copy = *r[0];  // a copy is a new record, free again
    EXPECT_NO_THROW(copy.Key = L"K2");
}

}  // namespace
}  // namespace prowl
