#include <gtest/gtest.h>

#include "model/SystemPath.h"

namespace prowl {
namespace {

TEST(SystemPath, CollapsesRepeatedBackslashesButKeepsUncLead) {
    EXPECT_EQ(ToSystemPath(L"C:\\\\Winnt"), L"C:\\Winnt");
    EXPECT_EQ(ToSystemPath(L"C:\\"), L"C:\\");
    EXPECT_EQ(ToSystemPath(L"C:\\a\\\\\\b\\"), L"C:\\a\\b\\");
    EXPECT_EQ(ToSystemPath(L"\\\\server\\share\\\\x"), L"\\\\server\\share\\x");
    EXPECT_EQ(ToSystemPath(L"\\\\?\\C:\\\\keep"), L"\\\\?\\C:\\\\keep");
}

TEST(SystemPath, LongPathsGetTheExtendedPrefix) {
    const std::wstring longName(300, L'a');
    EXPECT_EQ(ToSystemPath(L"C:\\\\" + longName), L"\\\\?\\C:\\" + longName);
    EXPECT_EQ(ToSystemPath(L"\\\\srv\\share\\" + longName), L"\\\\?\\UNC\\srv\\share\\" + longName);
    const std::wstring shortName(200, L'b');
    EXPECT_EQ(ToSystemPath(L"C:\\" + shortName), L"C:\\" + shortName);
}

}  // namespace
}  // namespace prowl
