// File and project details: what each label reads, and a file that cannot be read.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>

#include "support/TempTree.h"
#include "ui/dialogs/DetailsDialogs.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDisk.h"
#include "win32/ComponentFile_win.h"
#include "win32/FileSystem_win.h"
#include "win32/Locale_win.h"
#include "win32/SystemFacts_win.h"

namespace prowl {
namespace {

// One file of the given size; its dates shown as "T" and the ticks, so each date label tells
// which time went into it, and sizes grouped by three with commas.
struct OneFile : MemoryDisk, LocaleFormat {
    FileDetails details;
    FileDetails GetFile(const std::wstring&) override { return details; }
    std::wstring GroupedNumber(uint64_t value) override {
        std::wstring digits = std::to_wstring(value);
        for (auto pos = static_cast<int>(digits.size()) - 3; pos > 0; pos -= 3)
            digits.insert(static_cast<size_t>(pos), L",");
        return digits;
    }
    std::wstring DateTime(uint64_t ticks) override { return L"T" + std::to_wstring(ticks); }
};

// The real component files and system; the registry's state is a function the test gives.
struct RealSystem {
    InspectionSources With(std::function<RegistrationIndex()> registration) {
        return {components, facts, std::move(registration)};
    }
    win32::Win32ComponentFiles components;
    const win32::Win32SystemFacts facts;
};

std::wstring Labels(const ModalDialog& dialog, std::initializer_list<const wchar_t*> names) {
    std::wstring text;
    for (const auto* name : names) text += dialog.Text(name) + L"|";
    return text;
}

TEST(FileDetails, ShowsThePathTypeGroupedSizeAndEachOfTheThreeDates) {
    RealSystem system;
    OneFile file;
    file.details = {1234567, 11, 22, 33, L"Application extension"};
    ScriptedPrompts prompts;
    int gathered = 0;
    FileDetailsDialog dialog(file, file, prompts, system.With([&] {
        ++gathered;
        return RegistrationIndex();
    }));
    EXPECT_FALSE(dialog.Init(L"C:\\a & b\\x.dll"));
    EXPECT_EQ(Labels(dialog, {L"lblFileName", L"lblType", L"lblDateCreated", L"lblDateModified",
                              L"lblDateAccessed", L"lblSize"}),
              L"C:\\a & b\\x.dll|Application extension|T11|T33|T22|1,234,567 Bytes|");
    // The file is not on disk to be inspected: it is said so, without a message.
    EXPECT_EQ(
        Labels(dialog, {L"lblBuiltFor", L"lblEntryPoints", L"lblRegistered", L"lblMissingDlls"}),
        L"Not a program file|None|No|None|");
    EXPECT_EQ(gathered, 1);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(FileDetails, AnEmptyPathAFolderOrADeletedFileIsReportedAndTheDialogNotShown) {
    test::TempTree tree;
    tree.Folder(L"folder");
    tree.File(L"deleted.dll", "MZ");
    DeleteFileW(tree.Path(L"deleted.dll").c_str());
    win32::Win32FileSystem files;
    OneFile locale;
    RealSystem system;
    const std::wstring prefix = L"The following error occurred while attempting to load the file: ";
    for (const auto& path : {std::wstring(), tree.Path(L"folder"), tree.Path(L"deleted.dll")}) {
        SCOPED_TRACE(test::ToUtf8(path));
        ScriptedPrompts prompts;
        prompts.messageAnswers.push_back(MsgAnswer::Ok);
        FileDetailsDialog dialog(files, locale, prompts, system.With([]() -> RegistrationIndex {
            throw std::logic_error("the registry read for nothing");
        }));
        EXPECT_TRUE(dialog.Init(path));
        ASSERT_EQ(prompts.messages.size(), 1u);
        const auto& message = prompts.messages[0];
        EXPECT_EQ(message.text.substr(0, prefix.size()), prefix);
        EXPECT_GT(message.text.size(), prefix.size()) << "with the system's reason";
        EXPECT_EQ(message.title, L"ActiveX Prowl - File Error");
        EXPECT_EQ(message.icon, MsgIcon::Critical);
        EXPECT_EQ(dialog.Text(L"lblFileName"), L"");
    }
}

TEST(ProjectDetails, ShowsCountsTheTotalWithFoldersAndTheMissing) {
    struct Case {
        int32_t folders, dlls, ocxs, foldersMissing, dllsMissing, ocxsMissing;
        const wchar_t* shown;  // folders, DLLs, OCXs, total, then the missing in that order
    } cases[] = {
        {2, 4, 3, 2, 3, 1, L"2|4|3|9|(2 missing)|(3 missing)|(1 missing)|(6 missing)|"},
        // A hand-edited project file can claim any count: the sum must not wrap around.
        {0, INT_MAX, 1, 0, 0, 0,
         L"0|2147483647|1|2147483648|(0 missing)|(0 missing)|(0 missing)|(0 missing)|"},
    };
    for (const auto& c : cases) {
        clsSaveFile file;
        std::tie(file.Folder_Count, file.DLL_Count, file.OCX_Count, file.Folder_Missing,
                 file.DLL_Missing, file.OCX_Missing) =
            std::tuple(c.folders, c.dlls, c.ocxs, c.foldersMissing, c.dllsMissing, c.ocxsMissing);
        ProjectDetailsDialog dialog;
        dialog.Init(file, ItemCollection(), RegistrationIndex());
        EXPECT_EQ(
            Labels(dialog, {L"lblFolder", L"lblDLL", L"lblOCX", L"lblTotal", L"lblFolder_Missing",
                            L"lblDLL_Missing", L"lblOCX_Missing", L"lblTotal_Missing"}),
            c.shown);
    }
}

TEST(Win32LocaleFormat, GroupsDigitsAsTheLocaleDoesAndWritesItsShortDateAndLongTimeInLocalTime) {
    const std::pair<const wchar_t*, const wchar_t*> locales[] = {
        {L"en-US", L"1,234,567"}, {L"de-DE", L"1.234.567"}, {L"hi-IN", L"12,34,567"}};
    for (const auto& [name, number] : locales) {
        win32::Win32LocaleFormat locale(name);
        EXPECT_EQ(locale.GroupedNumber(1234567) + L"|" + locale.GroupedNumber(0),
                  std::wstring(number) + L"|0");
    }
    // 2003-01-02 03:04:05 UTC; the tests run with TZ=Asia/Kolkata, 5:30 ahead all year.
    const uint64_t ticks = 126859502450000000;
    EXPECT_EQ(win32::Win32LocaleFormat(L"en-US").DateTime(ticks), L"1/2/2003 8:34:05 AM");
}

}  // namespace
}  // namespace prowl
