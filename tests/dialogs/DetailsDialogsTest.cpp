// File and project details: what each label reads, and a file that cannot be read.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "model/ProwlError.h"
#include "support/EmptyFileSystem.h"
#include "support/TempTree.h"
#include "ui/dialogs/DetailsDialogs.h"
#include "ui/memory/MemoryControls.h"
#include "win32/FileSystem_win.h"
#include "win32/Locale_win.h"

namespace prowl {
namespace {

// Groups digits by three with commas, and shows a time as its tick count, so that each
// date label tells which time went into it.
struct FixedLocale : LocaleFormat {
    std::wstring GroupedNumber(uint64_t value) override {
        std::wstring digits = std::to_wstring(value);
        for (int pos = static_cast<int>(digits.size()) - 3; pos > 0; pos -= 3)
            digits.insert(static_cast<size_t>(pos), L",");
        return digits;
    }
    std::wstring DateTime(uint64_t fileTime) override { return L"T" + std::to_wstring(fileTime); }
};

struct OneFile : test::EmptyFileSystem {
    FileDetails details;
    FileDetails GetFile(const std::wstring&) override { return details; }
};

TEST(FileDetails, ShowsThePathTypeGroupedSizeAndEachOfTheThreeDates) {
    for (const auto& [size, text] :
         {std::pair<uint64_t, const wchar_t*>{1234567, L"1,234,567 Bytes"}, {0, L"0 Bytes"}}) {
        OneFile files;
        files.details = {size, 11, 22, 33, L"Application extension"};
        FixedLocale locale;
        ScriptedPrompts prompts;
        FileDetailsDialog dialog(files, locale, prompts);
        EXPECT_FALSE(dialog.Init(L"C:\\a & b\\x.dll"));
        EXPECT_EQ(dialog.Text(L"lblFileName"), L"C:\\a & b\\x.dll");
        EXPECT_EQ(dialog.Text(L"lblType"), L"Application extension");
        EXPECT_EQ(dialog.Text(L"lblSize"), text);
        EXPECT_EQ(dialog.Text(L"lblDateCreated"), L"T11");
        EXPECT_EQ(dialog.Text(L"lblDateAccessed"), L"T22");
        EXPECT_EQ(dialog.Text(L"lblDateModified"), L"T33");
        EXPECT_TRUE(prompts.messages.empty());
    }
}

TEST(FileDetails, APathThatIsNoReadableFileIsReportedAndTheDialogNotShown) {
    test::TempTree tree;
    tree.Folder(L"folder");
    tree.File(L"deleted.dll", "MZ");
    const std::wstring deleted = tree.Path(L"deleted.dll");
    DeleteFileW(deleted.c_str());
    win32::Win32FileSystem files;
    win32::Win32LocaleFormat locale;
    for (const std::wstring& path : {std::wstring(), tree.Path(L"folder"), deleted}) {
        SCOPED_TRACE(test::ToUtf8(path));
        ScriptedPrompts prompts;
        prompts.messageAnswers.push_back(MsgAnswer::Ok);
        FileDetailsDialog dialog(files, locale, prompts);
        EXPECT_TRUE(dialog.Init(path));
        ASSERT_EQ(prompts.messages.size(), 1u);
        const auto& message = prompts.messages[0];
        const std::wstring prefix =
            L"The following error occurred while attempting to load the file: ";
        EXPECT_EQ(message.text.substr(0, prefix.size()), prefix);
        EXPECT_GT(message.text.size(), prefix.size()) << "the system's reason";
        EXPECT_EQ(message.title, L"ActiveX Prowl - File Error");
        EXPECT_EQ(message.icon, MsgIcon::Critical);
        EXPECT_EQ(message.buttons, MsgButtons::Ok);
        EXPECT_EQ(dialog.Text(L"lblFileName"), L"");
    }
}

TEST(ProjectDetails, ShowsCountsTheTotalWithFoldersAndTheMissing) {
    struct Case {
        const char* name;
        int32_t folders, dlls, ocxs, foldersMissing, dllsMissing, ocxsMissing;
        std::vector<std::wstring> expected;  // folders, DLLs, OCXs, total, then the missing
    } cases[] = {
        {"a project never scanned",
         0,
         0,
         0,
         0,
         0,
         0,
         {L"0", L"0", L"0", L"0", L"(0 missing)", L"(0 missing)", L"(0 missing)", L"(0 missing)"}},
        {"opened with two DLLs gone",
         3,
         5,
         2,
         0,
         2,
         0,
         {L"3", L"5", L"2", L"10", L"(0 missing)", L"(2 missing)", L"(0 missing)", L"(2 missing)"}},
        {"every count missing something",
         2,
         4,
         3,
         2,
         3,
         1,
         {L"2", L"4", L"3", L"9", L"(2 missing)", L"(3 missing)", L"(1 missing)", L"(6 missing)"}},
        // A hand-edited file can claim any count; the sum must not wrap around.
        {"counts whose sum leaves 32 bits",
         0,
         INT_MAX,
         1,
         0,
         0,
         0,
         {L"0", L"2147483647", L"1", L"2147483648", L"(0 missing)", L"(0 missing)", L"(0 missing)",
          L"(0 missing)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clsSaveFile file;
        file.Folder_Count = c.folders;
        file.DLL_Count = c.dlls;
        file.OCX_Count = c.ocxs;
        file.Folder_Missing = c.foldersMissing;
        file.DLL_Missing = c.dllsMissing;
        file.OCX_Missing = c.ocxsMissing;
        ProjectDetailsDialog dialog;
        dialog.Init(file);
        std::vector<std::wstring> shown;
        for (const auto* name :
             {L"lblFolder", L"lblDLL", L"lblOCX", L"lblTotal", L"lblFolder_Missing",
              L"lblDLL_Missing", L"lblOCX_Missing", L"lblTotal_Missing"})
            shown.push_back(dialog.Text(name));
        EXPECT_EQ(shown, c.expected);
    }
}

// The real formatting of the platform, for locales whose conventions differ.
TEST(Win32LocaleFormat, GroupsDigitsAndWritesTheShortDateAndLongTimeInLocalTime) {
    struct Case {
        const wchar_t* locale;
        const wchar_t* number;
    } cases[] = {{L"en-US", L"1,234,567"}, {L"de-DE", L"1.234.567"}, {L"hi-IN", L"12,34,567"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(test::ToUtf8(c.locale));
        win32::Win32LocaleFormat locale(c.locale);
        EXPECT_EQ(locale.GroupedNumber(1234567), c.number);
        EXPECT_EQ(locale.GroupedNumber(0), L"0");
    }
    // 2003-01-02 03:04:05 UTC; the test runs with TZ=Asia/Kolkata, 5:30 ahead all year.
    SYSTEMTIME utc{2003, 1, 0, 2, 3, 4, 5, 0};
    FILETIME time;
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &time));
    const uint64_t ticks = (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    EXPECT_EQ(win32::Win32LocaleFormat(L"en-US").DateTime(ticks), L"1/2/2003 8:34:05 AM");
}

}  // namespace
}  // namespace prowl
