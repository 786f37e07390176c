#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "model/ProwlError.h"
#include "model/SystemPath.h"
#include "support/TempTree.h"
#include "win32/ComponentFile_win.h"
#include "win32/FileSystem_win.h"
#include "win32/Handles.h"

namespace prowl {
namespace {

using Strings = std::vector<std::wstring>;

// The path given to the system has no doubled backslashes and long ones the long form;
// listings and look-ups see no hidden or system entry and tell files from folders.
TEST(FileSystem, PathsListingsLookUpsAndReplacements) {
    const std::wstring a(300, L'a');
    for (const auto& [path, system] :
         {std::pair<std::wstring, std::wstring>{L"C:\\\\Winnt", L"C:\\Winnt"},
          {L"C:\\", L"C:\\"},
          {L"\\\\server\\share\\\\x", L"\\\\server\\share\\x"},
          {L"\\\\?\\C:\\\\keep", L"\\\\?\\C:\\\\keep"},
          {L"C:\\\\" + a, L"\\\\?\\C:\\" + a},
          {L"\\\\srv\\share\\" + a, L"\\\\?\\UNC\\srv\\share\\" + a}})
        EXPECT_EQ(ToSystemPath(path), system);

    // Wine takes long paths as they are, so the long form is seen only in the table above.
    test::TempTree tree;
    tree.File(L"sub\\x.dll", "abc");
    for (const wchar_t* name : {L"a.dll", L"hidden.dll", L"sys.ocx", L"ro.ocx"}) tree.File(name);
    tree.Folder(L"folder.dll");
    for (const auto& [name, attributes] : {std::pair(L"hidden.dll", FILE_ATTRIBUTE_HIDDEN),
                                           std::pair(L"sys.ocx", FILE_ATTRIBUTE_SYSTEM),
                                           std::pair(L"ro.ocx", FILE_ATTRIBUTE_READONLY)})
        SetFileAttributesW(tree.Path(name).c_str(), attributes);
    win32::Win32FileSystem fs;
    std::vector<DirEntry> entries;
    EXPECT_EQ(fs.ListFolder(tree.Root(), entries, nullptr), ListStatus::Ok);
    Strings names;
    for (const auto& e : entries) names.push_back(e.Name + (e.IsFolder() ? L"\\" : L""));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{L"a.dll", L"folder.dll\\", L"ro.ocx", L"sub\\"}));
    EXPECT_EQ(fs.ListFolder(tree.Path(L"gone"), entries, nullptr), ListStatus::NotFound);

    const std::wstring drive(1, test::UnusedDriveLetter());
    const std::tuple<std::wstring, FileLookup, bool, bool> cases[] = {
        {tree.Root() + L"\\\\a.dll", FileLookup::Present, true, false},  // a record's "\\"
        {tree.Path(L"hidden.dll"), FileLookup::Absent, true, false},
        {tree.Path(L"folder.dll"), FileLookup::Absent, false, true},
        {tree.Path(L"no folder\\gone.dll"), FileLookup::Absent, false, false},
        {drive + L":\\x.dll", FileLookup::CannotExamine, false, false},
        {tree.Path(L"bad<name>.dll"), FileLookup::CannotExamine, false, false},
    };
    for (const auto& [path, lookup, file, folder] : cases) {
        std::wstring error;
        const FileLookup found = fs.LookUpFile(path, &error);
        EXPECT_EQ(std::tuple(found, error.empty(), fs.FileExists(path), fs.FolderExists(path)),
                  std::tuple(lookup, lookup != FileLookup::CannotExamine, file, folder))
            << path;
    }
    EXPECT_NO_THROW(fs.CheckVolume(tree.Path(L"no\\such\\folder")));
    EXPECT_THROW(fs.CheckVolume(drive + L":\\"), ProwlError);

    const std::wstring file = tree.Path(L"sub\\x.dll");
    EXPECT_EQ(fs.ReadAllBytes(file), "abc");
    fs.ReplaceFileContents(file, std::string(1234, 'x'));
    const FileDetails d = fs.GetFile(file);
    EXPECT_EQ(std::tuple(d.Size, d.DateLastModified > 116444736000000000ull, d.Type.empty()),
              std::tuple(1234u, true, false));

    // A new file takes the old one's place and attributes, or leaves everything as it was. (A
    // file written where there was none: the report's own test writes one.)
    test::TempTree saves;
    for (const wchar_t* name : {L"p.prw", L"ro.prw", L"locked.prw", L"left.prw"})
        saves.File(name, "old");
    SetFileAttributesW(saves.Path(L"p.prw").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributesW(saves.Path(L"ro.prw").c_str(), FILE_ATTRIBUTE_READONLY);
    saves.File(L"p.prw.~0.tmp", "somebody's");  // the first name a temporary file would take
    fs.ReplaceFileContents(saves.Path(L"p.prw"), std::string(100000, 'n'));
    EXPECT_EQ(
        std::tuple(saves.Read(L"p.prw").size(), saves.Read(L"p.prw.~0.tmp"),
                   GetFileAttributesW(saves.Path(L"p.prw").c_str())),
        std::tuple(100000u, "somebody's", DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE}));

    win32::FileHandle lock(CreateFileW(saves.Path(L"locked.prw").c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    for (const wchar_t* name : {L"ro.prw", L"locked.prw", L"no folder\\x.prw"})
        EXPECT_THROW(fs.ReplaceFileContents(saves.Path(name), "new"), ProwlError) << name;
    fs.BeginReplaceFile(saves.Path(L"left.prw"))->Write("abandoned before its commit");
    lock.reset();
    // The five files, hidden ones too, and no temporary file left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(saves.Root()), {}), 5);
    for (const wchar_t* name : {L"ro.prw", L"locked.prw", L"left.prw"})
        EXPECT_EQ(saves.Read(name), "old") << name;

    // A component is read while other programs write it, and they may delete it meanwhile.
    const std::wstring component = tree.Path(L"a.dll");
    win32::FileHandle writer(CreateFileW(component.c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(win32::Win32ComponentFiles().Open(component) && DeleteFileW(component.c_str()));
}

}  // namespace
}  // namespace prowl
