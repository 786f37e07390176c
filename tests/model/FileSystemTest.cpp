#include <gtest/gtest.h>
#include <windows.h>

#include "model/ProwlError.h"
#include "support/TempTree.h"
#include "win32/FileSystem_win.h"

namespace prowl {
namespace {

using test::TempTree;
using test::UnusedDriveLetter;

TEST(FileSystemLookUp, TellsPresentAbsentAndCannotExamineApart) {
    TempTree tree;
    tree.File(L"a.dll", "MZ");
    tree.File(L"hidden.dll");
    tree.SetAttributes(L"hidden.dll", FILE_ATTRIBUTE_HIDDEN);
    tree.File(L"ro.ocx");
    tree.SetAttributes(L"ro.ocx", FILE_ATTRIBUTE_READONLY);
    tree.Folder(L"folder.dll");
    win32::Win32FileSystem fs;
    std::wstring error;

    EXPECT_EQ(fs.LookUpFile(tree.Path(L"a.dll"), &error), FileLookup::Present);
    EXPECT_EQ(fs.LookUpFile(tree.Path(L"ro.ocx"), &error), FileLookup::Present);
    EXPECT_EQ(fs.LookUpFile(tree.Path(L"hidden.dll"), &error), FileLookup::Absent);
    EXPECT_EQ(fs.LookUpFile(tree.Path(L"folder.dll"), &error), FileLookup::Absent);
    EXPECT_EQ(fs.LookUpFile(tree.Path(L"gone.dll"), &error), FileLookup::Absent);
    EXPECT_EQ(fs.LookUpFile(tree.Path(L"no folder\\gone.dll"), &error), FileLookup::Absent);
    // A record's doubled backslash after the root is not a different path to the system.
    EXPECT_EQ(fs.LookUpFile(tree.Root() + L"\\\\a.dll", &error), FileLookup::Present);

    const wchar_t drive = UnusedDriveLetter();
    ASSERT_NE(drive, 0);
    error.clear();
    EXPECT_EQ(fs.LookUpFile(std::wstring(1, drive) + L":\\x.dll", &error),
              FileLookup::CannotExamine);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fs.LookUpFile(tree.Path(L"bad<name>.dll"), &error), FileLookup::CannotExamine);
}

TEST(FileSystemLookUp, FileAndFolderTestsAreExclusive) {
    TempTree tree;
    tree.File(L"f.dll");
    tree.Folder(L"d");
    win32::Win32FileSystem fs;
    EXPECT_TRUE(fs.FileExists(tree.Path(L"f.dll")));
    EXPECT_FALSE(fs.FolderExists(tree.Path(L"f.dll")));
    EXPECT_TRUE(fs.FolderExists(tree.Path(L"d")));
    EXPECT_FALSE(fs.FileExists(tree.Path(L"d")));
    EXPECT_FALSE(fs.FileExists(tree.Path(L"none")));
    EXPECT_FALSE(fs.FolderExists(tree.Path(L"none")));
    EXPECT_TRUE(fs.GetAttributes(tree.Path(L"d")).value() & kAttrDirectory);
}

TEST(FileSystemListing, ListsOnceWithoutDotsHiddenOrSystemEntriesAndNestsFreely) {
    TempTree tree;
    tree.File(L"l\\b.txt");
    tree.File(L"l\\a.dll");
    tree.Folder(L"l\\Sub");
    tree.File(L"l\\Sub\\inner.ocx");
    tree.File(L"l\\.hidden");
    tree.File(L"l\\sys.dll");
    tree.SetAttributes(L"l\\sys.dll", FILE_ATTRIBUTE_SYSTEM);
    win32::Win32FileSystem fs;

    std::vector<DirEntry> outer, inner;
    ASSERT_EQ(fs.ListFolder(tree.Path(L"l"), outer, nullptr), ListStatus::Ok);
    ASSERT_EQ(fs.ListFolder(tree.Path(L"l\\Sub"), inner, nullptr), ListStatus::Ok);
    std::vector<std::wstring> names;
    for (const auto& e : outer) names.push_back(e.Name + (e.IsFolder() ? L"/" : L""));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a.dll", L"b.txt", L"Sub/"}));
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(inner[0].Name, L"inner.ocx");

    EXPECT_EQ(fs.ListFolder(tree.Path(L"missing"), outer, nullptr), ListStatus::NotFound);
    EXPECT_TRUE(outer.empty());
}

TEST(FileSystemVolume, AMissingDriveIsReportedAndAGoodOneIsNot) {
    win32::Win32FileSystem fs;
    EXPECT_NO_THROW(fs.CheckVolume(L"Z:\\no\\such\\folder"));
    EXPECT_NO_THROW(fs.CheckVolume(L"relative"));
    const wchar_t drive = UnusedDriveLetter();
    try {
        fs.CheckVolume(std::wstring(1, drive) + L":\\");
        ADD_FAILURE() << "no error";
    } catch (const ProwlError& e) {
        EXPECT_FALSE(e.message().empty());
    }
}

TEST(FileSystemDetails, GivesSizeDatesAndTypeOfAFileButNotOfAFolder) {
    TempTree tree;
    tree.File(L"sized.dll", std::string(1234, 'x'));
    tree.Folder(L"folder");
    win32::Win32FileSystem fs;
    const FileDetails d = fs.GetFile(tree.Path(L"sized.dll"));
    EXPECT_EQ(d.Size, 1234u);
    EXPECT_GT(d.DateLastModified, 116444736000000000ull);  // after 1970
    EXPECT_GE(d.DateLastModified, d.DateCreated / 2);
    EXPECT_FALSE(d.Type.empty());
    EXPECT_THROW(fs.GetFile(tree.Path(L"folder")), ProwlError);
    EXPECT_THROW(fs.GetFile(tree.Path(L"missing.dll")), ProwlError);
}

TEST(FileSystemIdentity, ALinkHasTheIdentityOfItsTarget) {
    TempTree tree;
    tree.Folder(L"target");
    tree.Folder(L"other");
    tree.Link(L"link", L"target");
    win32::Win32FileSystem fs;
    EXPECT_EQ(fs.GetIdentity(tree.Path(L"link")), fs.GetIdentity(tree.Path(L"target")));
    EXPECT_NE(fs.GetIdentity(tree.Path(L"other")), fs.GetIdentity(tree.Path(L"target")));
    EXPECT_FALSE(fs.GetIdentity(tree.Path(L"missing")).has_value());
    std::vector<DirEntry> entries;
    fs.ListFolder(tree.Root(), entries, nullptr);
    for (const auto& e : entries)
        EXPECT_EQ((e.Attributes & kAttrReparsePoint) != 0, e.Name == L"link") << e.Name;
}

TEST(FileSystemFiles, LongPathsWorkForEveryOperation) {
    TempTree tree;
    std::wstring relative = L"long";
    while (relative.size() < 400) relative += L"\\a fairly long folder name";
    tree.File(relative + L"\\x.dll", "abc");
    win32::Win32FileSystem fs;
    const std::wstring file = tree.Path(relative) + L"\\x.dll";
    ASSERT_GT(file.size(), 260u);
    EXPECT_EQ(fs.LookUpFile(file, nullptr), FileLookup::Present);
    EXPECT_TRUE(fs.FileExists(file));
    EXPECT_TRUE(fs.FolderExists(tree.Path(relative)));
    EXPECT_EQ(fs.ReadAllBytes(file), "abc");
    fs.ReplaceFileContents(file, "replaced");
    EXPECT_EQ(fs.ReadAllBytes(file), "replaced");
    EXPECT_EQ(fs.GetFile(file).Size, 8u);
}

TEST(FileSystemFiles, AReplaceThatCannotCompleteLeavesTheOldFile) {
    TempTree tree;
    tree.File(L"keep.prw", "old");
    tree.SetAttributes(L"keep.prw", FILE_ATTRIBUTE_READONLY);
    win32::Win32FileSystem fs;
    EXPECT_THROW(fs.ReplaceFileContents(tree.Path(L"keep.prw"), "new"), ProwlError);
    EXPECT_EQ(fs.ReadAllBytes(tree.Path(L"keep.prw")), "old");
    EXPECT_THROW(fs.ReplaceFileContents(tree.Path(L"no such folder\\x.prw"), "new"), ProwlError);
    EXPECT_THROW(fs.ReadAllBytes(tree.Path(L"missing.prw")), ProwlError);
    std::vector<DirEntry> entries;
    fs.ListFolder(tree.Root(), entries, nullptr);
    EXPECT_EQ(entries.size(), 1u) << "a temporary file was left behind";
}

}  // namespace
}  // namespace prowl
