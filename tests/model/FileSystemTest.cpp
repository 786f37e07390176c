#include <gtest/gtest.h>
#include <windows.h>

#include "model/ProwlError.h"
#include "support/FaultyFileSystem.h"
#include "support/TempTree.h"
#include "win32/FileSystem_win.h"
#include "win32/Handles.h"

namespace prowl {
namespace {

using test::TempTree;
using Strings = std::vector<std::wstring>;

TEST(FileSystem, LookUpsTellFilesFoldersAndWhatCannotBeExaminedApart) {
    TempTree tree;
    tree.File(L"a.dll", "MZ");
    tree.File(L"hidden.dll");
    tree.SetAttributes(L"hidden.dll", FILE_ATTRIBUTE_HIDDEN);
    tree.File(L"ro.ocx");
    tree.SetAttributes(L"ro.ocx", FILE_ATTRIBUTE_READONLY);
    tree.Folder(L"folder.dll");
    const std::wstring drive(1, test::UnusedDriveLetter());
    const struct {
        std::wstring path;
        FileLookup lookup;
        bool file, folder;
    } cases[] = {
        {tree.Path(L"a.dll"), FileLookup::Present, true, false},
        {tree.Root() + L"\\\\a.dll", FileLookup::Present, true, false},  // a record's "\\"
        {tree.Path(L"ro.ocx"), FileLookup::Present, true, false},
        {tree.Path(L"hidden.dll"), FileLookup::Absent, true, false},
        {tree.Path(L"folder.dll"), FileLookup::Absent, false, true},
        {tree.Path(L"gone.dll"), FileLookup::Absent, false, false},
        {tree.Path(L"no folder\\gone.dll"), FileLookup::Absent, false, false},
        {drive + L":\\x.dll", FileLookup::CannotExamine, false, false},
        {tree.Path(L"bad<name>.dll"), FileLookup::CannotExamine, false, false},
    };
    win32::Win32FileSystem fs;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::wstring error;
        EXPECT_EQ(fs.LookUpFile(c.path, &error), c.lookup);
        EXPECT_EQ(error.empty(), c.lookup != FileLookup::CannotExamine);
        EXPECT_EQ(fs.FileExists(c.path), c.file);
        EXPECT_EQ(fs.FolderExists(c.path), c.folder);
    }
    EXPECT_NO_THROW(fs.CheckVolume(tree.Path(L"no\\such\\folder")));
    EXPECT_THROW(fs.CheckVolume(drive + L":\\"), ProwlError);
}

TEST(FileSystem, ListsWithoutDotsHiddenOrSystemEntriesAndNestsFreely) {
    TempTree tree;
    for (const wchar_t* name : {L"l\\b.txt", L"l\\a.dll", L"l\\Sub\\inner.ocx", L"l\\.hidden",
                                L"l\\sys.dll", L"l\\ro.dll"})
        tree.File(name);
    tree.SetAttributes(L"l\\sys.dll", FILE_ATTRIBUTE_SYSTEM);
    tree.SetAttributes(L"l\\ro.dll", FILE_ATTRIBUTE_READONLY);
    tree.Link(L"l\\link", L"l\\Sub");
    win32::Win32FileSystem fs;
    std::vector<DirEntry> outer, inner;
    ASSERT_EQ(fs.ListFolder(tree.Path(L"l"), outer, nullptr), ListStatus::Ok);
    ASSERT_EQ(fs.ListFolder(tree.Path(L"l\\Sub"), inner, nullptr), ListStatus::Ok);
    Strings names;
    for (const auto& e : outer)
        names.push_back(e.Name + (e.IsFolder() ? L"/" : L"") +
                        (e.Attributes & kAttrReparsePoint ? L"@" : L""));
    EXPECT_EQ(names, (Strings{L"a.dll", L"b.txt", L"link/@", L"ro.dll", L"Sub/"}));
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(inner[0].Name, L"inner.ocx");
    EXPECT_EQ(fs.GetIdentity(tree.Path(L"l\\link")), fs.GetIdentity(tree.Path(L"l\\Sub")));
    EXPECT_NE(fs.GetIdentity(tree.Path(L"l")), fs.GetIdentity(tree.Path(L"l\\Sub")));

    EXPECT_EQ(fs.ListFolder(tree.Path(L"missing"), outer, nullptr), ListStatus::NotFound);
    EXPECT_TRUE(outer.empty());
    std::wstring error;
    EXPECT_EQ(fs.ListFolder(tree.Path(L"l\\a.dll"), outer, &error), ListStatus::Failed)
        << "a file is there, only it is no folder";
    EXPECT_FALSE(error.empty());
}

TEST(FileSystem, GivesSizeDatesAndTypeOfAFileButNotOfAFolder) {
    TempTree tree;
    tree.File(L"sized.dll", std::string(1234, 'x'));
    tree.Folder(L"folder");
    win32::Win32FileSystem fs;
    const FileDetails d = fs.GetFile(tree.Path(L"sized.dll"));
    EXPECT_EQ(d.Size, 1234u);
    EXPECT_GT(d.DateLastModified, 116444736000000000ull);  // after 1970
    EXPECT_FALSE(d.Type.empty());
    EXPECT_THROW(fs.GetFile(tree.Path(L"folder")), ProwlError);
    EXPECT_THROW(fs.GetFile(tree.Path(L"missing.dll")), ProwlError);
}

TEST(FileSystem, LongPathsWorkForEveryOperation) {
    TempTree tree;
    std::wstring relative = L"long";
    while (relative.size() < 400) relative += L"\\a fairly long folder name";
    tree.File(relative + L"\\x.dll", "abc");
    win32::Win32FileSystem fs;
    const std::wstring file = tree.Path(relative) + L"\\x.dll";
    EXPECT_EQ(fs.LookUpFile(file, nullptr), FileLookup::Present);
    EXPECT_TRUE(fs.FolderExists(tree.Path(relative)));
    EXPECT_EQ(fs.ReadAllBytes(file), "abc");
    fs.ReplaceFileContents(file, "replaced");
    EXPECT_EQ(fs.ReadAllBytes(file), "replaced");
    EXPECT_EQ(fs.GetFile(file).Size, 8u);
}

TEST(FileSystemReplace, TheNewFileTakesTheOldOnesPlaceAndAttributes) {
    TempTree tree;
    tree.File(L"p.prw", std::string(100000, 'x'));
    tree.SetAttributes(L"p.prw", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    tree.File(L"p.prw.~0.tmp", "somebody's");  // the first name a temporary file would take
    win32::Win32FileSystem fs;
    fs.ReplaceFileContents(tree.Path(L"p.prw"), "new");
    EXPECT_EQ(tree.Read(L"p.prw"), "new");
    EXPECT_EQ(GetFileAttributesW(tree.Path(L"p.prw").c_str()),
              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_EQ(tree.Read(L"p.prw.~0.tmp"), "somebody's");
    EXPECT_EQ(tree.Names(), (Strings{L"p.prw", L"p.prw.~0.tmp"}));
    fs.ReplaceFileContents(tree.Path(L"new.prw"), "fresh");
    EXPECT_EQ(tree.Read(L"new.prw"), "fresh");
}

TEST(FileSystemReplace, AReplaceThatCannotCompleteLeavesTheOldFileAndNoTemporaryOne) {
    TempTree tree;
    tree.File(L"ro.prw", "old");
    tree.SetAttributes(L"ro.prw", FILE_ATTRIBUTE_READONLY);
    tree.File(L"locked.prw", "old");
    tree.File(L"full.prw", "old");
    win32::FileHandle lock(CreateFileW(tree.Path(L"locked.prw").c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    test::FaultyFileSystem fs;
    for (const wchar_t* name : {L"ro.prw", L"locked.prw", L"no such folder\\x.prw"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(fs.ReplaceFileContents(tree.Path(name), "new"), ProwlError);
    }
    fs.writesBeforeFailure = 1;
    {
        const auto file = fs.BeginReplaceFile(tree.Path(L"full.prw"));
        file->Write("new");
        EXPECT_THROW(file->Write("more"), ProwlError);
    }
    EXPECT_THROW(fs.ReadAllBytes(tree.Path(L"missing.prw")), ProwlError);
    lock.reset();
    EXPECT_EQ(tree.Names(), (Strings{L"full.prw", L"locked.prw", L"ro.prw"}));
    for (const wchar_t* name : {L"ro.prw", L"locked.prw", L"full.prw"})
        EXPECT_EQ(tree.Read(name), "old") << name;
}

}  // namespace
}  // namespace prowl
