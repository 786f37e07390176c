#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "ProjectFileSupport.h"
#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingStatusSink.h"
#include "support/TempTree.h"
#include "win32/Handles.h"

namespace prowl {
namespace {

using test::MakeRecord;
using test::Narrow;
using test::RecordingStatusSink;
using ::testing::ElementsAre;
using Strings = std::vector<std::wstring>;

// A four-record project rooted in a real folder, so that its items exist: a folder Apps with
// a.dll and a subfolder Tools holding x.ocx; Tools expanded, x.ocx excluded.
class ExampleProject : public ::testing::Test {
  protected:
    void SetUp() override {
        tree.File(L"Apps\\a.dll");
        tree.File(L"Apps\\Tools\\x.ocx");
        state.SaveFile->StartPath = apps;
        state.SaveFile->Altered = true;
        state.DigColl->Add(MakeRecord(1, L"1", 0, apps, L"APPS"));
        state.DigColl->Add(MakeRecord(2, L"2", 1, apps + L"\\a.dll", L"a.dll"));
        state.DigColl->Add(MakeRecord(3, L"1", 1, apps + L"\\Tools", L"TOOLS", L"1", L"1"));
        state.DigColl->Add(MakeRecord(4, L"3", 3, apps + L"\\Tools\\x.ocx", L"x.ocx", L"0", L"0"));
    }
    std::string ExpectedBytes() const {
        const std::string a = Narrow(apps);
        return a + "\r\n1\tK1\t1\t0\t" + a + "\tK0\tAPPS\t1\t0\r\n2\tK2\t2\t1\t" + a +
               "\\a.dll\tK1\ta.dll\t1\t0\r\n3\tK3\t1\t1\t" + a +
               "\\Tools\tK1\tTOOLS\t1\t1\r\n4\tK4\t3\t3\t" + a + "\\Tools\\x.ocx\tK3\tx.ocx\t0\t0";
    }
    ProjectState Reopen() {
        ProjectState opened;
        OpenProjectFile(opened, fs, sink, file);
        return opened;
    }

    test::TempTree tree;
    std::wstring apps = tree.Path(L"Apps");
    std::wstring file = tree.Path(L"example.prw");
    ProjectState state;
    test::FaultyFileSystem fs;
    RecordingStatusSink sink;
};

TEST_F(ExampleProject, IsWrittenByteForByteWithTheSaveProtocol) {
    EXPECT_TRUE(SaveProjectFile(state, fs, sink, file));
    EXPECT_EQ(tree.Read(L"example.prw"), ExpectedBytes());
    EXPECT_THAT(sink.lines, ElementsAre(L"2:Saving File: ", L"show 5", L"+1", L"+1", L"+1", L"+1",
                                        L"+1", L"hide 5", L"2:Saved File: " + file));
    EXPECT_FALSE(state.SaveFile->Altered);
    EXPECT_EQ(state.SaveFile->FileName, file);
}

TEST_F(ExampleProject, ReadsBackToTheSameRecordsAndCounts) {
    SaveProjectFile(state, fs, sink, file);
    ProjectState opened;
    opened.SaveFile->Altered = true;
    opened.SaveFile->DLL_Count = 99;
    opened.DigColl->Add(MakeRecord(7, L"2", 0, L"C:\\old.dll", L"old.dll"));
    const ProjectState before = opened;
    sink.lines.clear();
    EXPECT_TRUE(OpenProjectFile(opened, fs, sink, file));

    EXPECT_THAT(sink.lines, ElementsAre(L"2:Opened File: " + file));
    EXPECT_EQ(opened.SaveFile, before.SaveFile) << "the project record is refilled in place";
    EXPECT_EQ(opened.PreDigColl, before.PreDigColl);
    const clsSaveFile& p = *opened.SaveFile;
    EXPECT_EQ(std::make_tuple(p.StartPath, p.FileName, p.Altered),
              std::make_tuple(apps, file, false));
    EXPECT_EQ(std::make_tuple(p.Folder_Count, p.DLL_Count, p.OCX_Count), std::make_tuple(2, 1, 1));
    EXPECT_EQ(p.Folder_Missing + p.DLL_Missing + p.OCX_Missing, 0);
    EXPECT_EQ(test::StoredRecords(*opened.DigColl), test::StoredRecords(*state.DigColl));
    for (const auto& r : *opened.DigColl) EXPECT_TRUE(r->Exists) << r->Path;
}

TEST_F(ExampleProject, ExistsAndMissingCountsFollowTheDiskAsItStandsAtOpen) {
    SaveProjectFile(state, fs, sink, file);
    DeleteFileW((apps + L"\\a.dll").c_str());
    ProjectState deleted = Reopen();
    EXPECT_FALSE(deleted.DigColl->Item(2)->Exists);
    EXPECT_EQ(std::make_tuple(deleted.SaveFile->DLL_Count, deleted.SaveFile->DLL_Missing),
              std::make_tuple(1, 1));

    tree.Folder(L"Apps\\a.dll");  // a folder is no DLL
    EXPECT_EQ(Reopen().SaveFile->DLL_Missing, 1);

    DeleteFileW((apps + L"\\Tools\\x.ocx").c_str());
    RemoveDirectoryW((apps + L"\\Tools").c_str());
    ProjectState gone = Reopen();
    EXPECT_TRUE(gone.DigColl->Item(1)->Exists);
    EXPECT_FALSE(gone.DigColl->Item(3)->Exists || gone.DigColl->Item(4)->Exists);
    const clsSaveFile& p = *gone.SaveFile;
    EXPECT_EQ(std::make_tuple(p.Folder_Count, p.Folder_Missing, p.OCX_Count, p.OCX_Missing),
              std::make_tuple(2, 1, 1, 1));
}

TEST_F(ExampleProject, AFailedSaveKeepsTheOldFileTheProjectAndNoTemporaryFile) {
    // Big enough that the writer hands the file over in several pieces.
    for (int32_t i = 5; i <= 5000; ++i)
        state.DigColl->Add(MakeRecord(i, L"2", 1, apps + L"\\" + std::wstring(100, L'p'), L"f"));
    tree.File(L"ro.prw", "old");
    tree.SetAttributes(L"ro.prw", FILE_ATTRIBUTE_READONLY);
    tree.File(L"locked.prw", "old");
    tree.File(L"full.prw", "old");
    win32::FileHandle lock(CreateFileW(tree.Path(L"locked.prw").c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    const test::Snapshot before(state);
    for (const wchar_t* name : {L"no such folder\\p.prw", L"ro.prw", L"locked.prw", L"full.prw"}) {
        SCOPED_TRACE(name);
        fs.writesBeforeFailure = name == std::wstring(L"full.prw") ? 1 : -1;
        sink.lines.clear();
        EXPECT_THROW(SaveProjectFile(state, fs, sink, tree.Path(name)), ProwlError);
        before.ExpectUnchanged();
        EXPECT_EQ(sink.Actions(), Strings{L"Saving File: "});
        EXPECT_EQ(sink.lines.back().substr(0, 5), L"hide ") << "the bar is hidden again";
    }
    lock.reset();
    EXPECT_EQ(tree.Names(), (Strings{L"Apps", L"full.prw", L"locked.prw", L"ro.prw"}));
    for (const wchar_t* name : {L"ro.prw", L"locked.prw", L"full.prw"})
        EXPECT_EQ(tree.Read(name), "old") << name;
}

TEST_F(ExampleProject, ASaveFinishesTheProjectItBeganWith) {
    // The window processes events at each progress call; a command taken there may replace
    // the project. The file and the clean mark belong to the project the save started with.
    const SaveFileRef original = state.SaveFile;
    sink.onEvents = [&](const std::wstring& line) {
        if (line != L"+1" || state.SaveFile != original) return;
        state.DigColl = std::make_shared<ItemCollection>();
        state.SaveFile = std::make_shared<clsSaveFile>();
        state.SaveFile->Altered = true;
    };
    SaveProjectFile(state, fs, sink, file);
    EXPECT_EQ(tree.Read(L"example.prw"), ExpectedBytes());
    EXPECT_EQ(std::make_tuple(original->FileName, original->Altered), std::make_tuple(file, false));
    EXPECT_EQ(std::make_tuple(state.SaveFile->FileName, state.SaveFile->Altered),
              std::make_tuple(std::wstring(), true));
}

TEST(ProjectFileWriter, AProjectWithoutItemsIsTheHeaderAloneAndNumbersArePlainDecimals) {
    test::TempTree tree;
    test::FaultyFileSystem fs;
    ProjectState state;
    state.SaveFile->StartPath = L"C:\\";
    RecordingStatusSink sink;
    SaveProjectFile(state, fs, sink, tree.Path(L"empty.prw"));
    EXPECT_EQ(tree.Read(L"empty.prw"), "C:\\\r\n");
    EXPECT_THAT(sink.lines, ElementsAre(L"2:Saving File: ", L"show 1", L"+1", L"hide 1",
                                        L"2:Saved File: " + tree.Path(L"empty.prw")));

    clsObject r;
    r.Index = -2147483647 - 1;
    r.ParentIndex = 2147483647;
    r.NodeType = L"9";
    r.Path = L"C:\\\\Winnt";
    r.Included = L"x";
    EXPECT_EQ(BuildRecordLine(r), L"-2147483648\t\t9\t2147483647\tC:\\\\Winnt\t\t\tx\t\r\n");
    r.Index = 0;
    r.ParentIndex = -7;
    EXPECT_EQ(BuildRecordLine(r).substr(0, 6), L"0\t\t9\t-");
}

// Files as other tools or hands leave them.
class HandWrittenFile : public ::testing::Test {
  protected:
    ProjectState Open(const std::string& bytes) {
        tree.File(L"hand.prw", bytes);
        ProjectState opened;
        opened.DigColl->Add(MakeRecord(1, L"1", 0, L"C:\\previous", L"PREVIOUS"));
        RecordingStatusSink sink;
        OpenProjectFile(opened, fs, sink, tree.Path(L"hand.prw"));
        return opened;
    }
    // Opens the file into a project that must stay as it was; returns the reason given.
    std::wstring OpenFailure(const std::string& bytes) {
        tree.File(L"bad.prw", bytes);
        ProjectState state;
        state.SaveFile->StartPath = L"C:\\Apps";
        state.SaveFile->FileName = L"C:\\before.prw";
        state.DigColl->Add(MakeRecord(1, L"2", 0, L"C:\\Apps\\a.dll", L"a.dll"));
        const test::Snapshot before(state);
        RecordingStatusSink sink;
        try {
            OpenProjectFile(state, fs, sink, tree.Path(L"bad.prw"));
        } catch (const ProwlError& e) {
            before.ExpectUnchanged();
            EXPECT_TRUE(sink.lines.empty());
            return e.message();
        }
        return L"<opened>";
    }

    test::TempTree tree;
    test::FaultyFileSystem fs;
};

TEST_F(HandWrittenFile, RecordsAreTakenAsWrittenAndLinesOfOtherShapesSkipped) {
    tree.File(L"real.dll");
    tree.Folder(L"dir");
    const std::string d = Narrow(tree.Path(L"real.dll")), f = Narrow(tree.Path(L"dir"));
    ProjectState opened = Open(
        "\\\\server\\share\r\n"
        "1\tK1\t1\t0\tC:\\A\tK0\tA\t1\r\n"       // eight fields
        "2\tK2\t1\t0\tC:\\B\tK0\tB\t1\t0\t\r\n"  // a tenth, empty field
        "\r\ngarbage without tabs\r\n"           // nothing at all
        "7\tK99\t1\t-3\t" +
        f +
        "\tK12\tA\t0\t1\r\n"  // indexes as edited by hand
        "  +12 \tK1\t4\t 007\t" +
        d +
        "\tK0\tB\t1\t0\r\n"
        "-2147483648\tK\t2 \t2147483647\t" +
        d +
        "\tK\tC\t\t\r\n"
        "x\tK4\t1\t0\tC:\\D\tK0\tD\t1\t0\tmore\r\n");  // ten fields: not even its Index is read
    EXPECT_EQ(opened.SaveFile->StartPath, L"\\\\server\\share");
    EXPECT_THAT(test::StoredRecords(*opened.DigColl),
                ElementsAre(L"7|K99|1|-3|" + tree.Path(L"dir") + L"|K12|A|0|1",
                            L"12|K1|4|7|" + tree.Path(L"real.dll") + L"|K0|B|1|0",
                            L"-2147483648|K|2 |2147483647|" + tree.Path(L"real.dll") + L"|K|C||"));
    // Only the folder is a known type: the others stay, missing and counted nowhere.
    const clsSaveFile& p = *opened.SaveFile;
    EXPECT_EQ(std::make_tuple(p.Folder_Count, p.DLL_Count, p.OCX_Count, p.Folder_Missing,
                              p.DLL_Missing, p.OCX_Missing),
              std::make_tuple(1, 0, 0, 0, 0, 0));
    EXPECT_TRUE(opened.DigColl->Item(1)->Exists);
    EXPECT_FALSE(opened.DigColl->Item(2)->Exists || opened.DigColl->Item(3)->Exists);

    const std::string line = "1\tK1\t2\t0\tC:\\A\tK0\tA\t1\t0";
    const struct {
        std::string bytes;
        int32_t records;
    } endings[] = {{"C:\\A", 0},
                   {"C:\\A\r\n", 0},
                   {"C:\\A\r\n" + line, 1},
                   {"C:\\A\r\n" + line + "\r\n" + line + "\r\n", 2}};
    for (const auto& c : endings) EXPECT_EQ(Open(c.bytes).DigColl->Count(), c.records) << c.bytes;
}

TEST_F(HandWrittenFile, WhatIsNoProjectFileIsRefusedNamingTheLineAndChangesNothing) {
    const auto withIndex = [](const std::string& index, const std::string& parent) {
        return "C:\\A\r\n\r\n1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0\r\n" + index + "\tK2\t1\t" + parent +
               "\tC:\\B\tK1\tB\t1\t0";
    };
    const std::wstring notAbsolute =
        L"line 1: the start path is not an absolute path such as C:\\Folder or \\\\server\\share";
    const std::wstring lineBreaks =
        L"line 1: the start path holds a line break or TAB: the lines of a project file end with "
        L"CR LF";
    const struct {
        std::string bytes;
        std::wstring reason;
    } cases[] = {
        {withIndex("abc", "1"), L"line 4: Index \"abc\" is not a whole number"},
        {withIndex("2", ""), L"line 4: ParentIndex \"\" is not a whole number"},
        {withIndex("2147483648", "1"), L"line 4: Index \"2147483648\" is outside the 32-bit range"},
        {withIndex("2", "-2147483649"),
         L"line 4: ParentIndex \"-2147483649\" is outside the 32-bit range"},
        {withIndex("1.5", "1"), L"line 4: Index \"1.5\" is not a whole number"},
        {withIndex("0x10", "1"), L"line 4: Index \"0x10\" is not a whole number"},
        {withIndex("--1", "1"), L"line 4: Index \"--1\" is not a whole number"},
        {withIndex("1 2", "1"), L"line 4: Index \"1 2\" is not a whole number"},
        {"", notAbsolute},
        {"Hello, this is a letter.\r\nKind regards", notAbsolute},
        {"C:Apps\r\n", notAbsolute},
        {"C:/Apps\r\n", notAbsolute},
        {"\\Apps\r\n", notAbsolute},
        {"\\\\\\x\r\n", notAbsolute},
        {"C:\\A\n1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0", lineBreaks},
        {"C:\\A\r1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0\r", lineBreaks},
        {std::string("MZ\x90\0\x03\0\0\0", 8) + "\r\n",
         L"line 1: the file holds a NUL byte, so it is not a project file"},
        {std::string("C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0\r\n\0\0", 36),
         L"line 3: the file holds a NUL byte, so it is not a project file"},
        {"\xEF\xBB\xBF"
         "C:\\A\r\n\xC3",
         L"line 2: the text is not valid UTF-8"},
    };
    for (const auto& c : cases) EXPECT_EQ(OpenFailure(c.bytes), c.reason) << c.bytes;
    EXPECT_EQ(Open("z:\\").SaveFile->StartPath, L"z:\\");

    ProjectState state;
    RecordingStatusSink sink;
    try {
        OpenProjectFile(state, fs, sink, tree.Path(L"absent.prw"));
        ADD_FAILURE() << "opened";
    } catch (const ProwlError& e) {
        EXPECT_EQ(e.message().find(L"line "), std::wstring::npos) << "the system's own reason";
    }
}

}  // namespace
}  // namespace prowl
