#include <gtest/gtest.h>
#include <windows.h>

#include "model/ProwlError.h"
#include "model/SystemPath.h"
#include "support/TempTree.h"
#include "win32/FileSystem_win.h"

namespace prowl {
namespace {

using test::TempTree;
using Strings = std::vector<std::wstring>;

TEST(FileSystem, ThePathGivenToTheSystemHasNoDoubledBackslashesAndLongOnesTheLongForm) {
    const std::wstring a(300, L'a');
    for (const auto& [path, system] :
         {std::pair<std::wstring, std::wstring>{L"C:\\\\Winnt", L"C:\\Winnt"},
          {L"C:\\", L"C:\\"},
          {L"C:\\a\\\\\\b\\", L"C:\\a\\b\\"},
          {L"\\\\server\\share\\\\x", L"\\\\server\\share\\x"},
          {L"\\\\?\\C:\\\\keep", L"\\\\?\\C:\\\\keep"},
          {L"C:\\\\" + a, L"\\\\?\\C:\\" + a},
          {L"\\\\srv\\share\\" + a, L"\\\\?\\UNC\\srv\\share\\" + a},
          {L"C:\\" + a.substr(100), L"C:\\" + a.substr(100)}})
        EXPECT_EQ(ToSystemPath(path), system);
}

TEST(FileSystem, LookUpsTellFilesFoldersAndWhatCannotBeExaminedApart) {
    TempTree tree;
    for (const wchar_t* name : {L"a.dll", L"hidden.dll", L"ro.ocx"}) tree.File(name);
    tree.SetAttributes(L"hidden.dll", FILE_ATTRIBUTE_HIDDEN);
    tree.SetAttributes(L"ro.ocx", FILE_ATTRIBUTE_READONLY);
    tree.Folder(L"folder.dll");
    const std::wstring drive(1, test::UnusedDriveLetter());
    const std::tuple<std::wstring, FileLookup, bool, bool> cases[] = {
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
    for (const auto& [path, lookup, file, folder] : cases) {
        std::wstring error;
        const FileLookup found = fs.LookUpFile(path, &error);
        EXPECT_EQ(std::tuple(found, error.empty(), fs.FileExists(path), fs.FolderExists(path)),
                  std::tuple(lookup, lookup != FileLookup::CannotExamine, file, folder))
            << path;
    }
    EXPECT_NO_THROW(fs.CheckVolume(tree.Path(L"no\\such\\folder")));
    EXPECT_THROW(fs.CheckVolume(drive + L":\\"), ProwlError);
}

TEST(FileSystem, LongPathsWorkForEveryOperationAndAFileHasItsDetails) {
    TempTree tree;
    std::wstring relative = L"long";
    while (relative.size() < 400) relative += L"\\a fairly long folder name";
    tree.File(relative + L"\\x.dll", "abc");
    win32::Win32FileSystem fs;
    const std::wstring file = tree.Path(relative) + L"\\x.dll";
    EXPECT_EQ(fs.LookUpFile(file, nullptr), FileLookup::Present);
    EXPECT_TRUE(fs.FolderExists(tree.Path(relative)));
    EXPECT_EQ(fs.ReadAllBytes(file), "abc");
    fs.ReplaceFileContents(file, std::string(1234, 'x'));
    const FileDetails d = fs.GetFile(file);
    EXPECT_EQ(std::tuple(d.Size, d.DateLastModified > 116444736000000000ull, d.Type.empty()),
              std::tuple(1234u, true, false));
    EXPECT_THROW(fs.GetFile(tree.Path(relative)), ProwlError) << "a folder has no details";
    EXPECT_THROW(fs.GetFile(file + L".missing"), ProwlError);
}

TEST(FileSystem, TheNewFileTakesTheOldOnesPlaceAndAttributes) {
    TempTree tree;
    tree.File(L"p.prw", std::string(100000, 'x'));
    tree.SetAttributes(L"p.prw", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    tree.File(L"p.prw.~0.tmp", "somebody's");  // the first name a temporary file would take
    win32::Win32FileSystem fs;
    fs.ReplaceFileContents(tree.Path(L"p.prw"), "new");
    fs.ReplaceFileContents(tree.Path(L"new.prw"), "fresh");
    EXPECT_EQ(std::tuple(tree.Read(L"p.prw"), tree.Read(L"p.prw.~0.tmp"), tree.Read(L"new.prw")),
              std::tuple("new", "somebody's", "fresh"));
    EXPECT_EQ(GetFileAttributesW(tree.Path(L"p.prw").c_str()),
              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_EQ(tree.Names(), (Strings{L"new.prw", L"p.prw", L"p.prw.~0.tmp"}));
}

}  // namespace
}  // namespace prowl
