#include <gtest/gtest.h>

#include "ProjectFileTestSupport.h"
#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"
#include "win32/FileSystem_win.h"

namespace prowl {
namespace {

using testing::MakeFile;
using testing::MakeFolder;
using testing::MakeRecord;
using testing::Narrow;
using testing::ReadBytes;
using testing::RecordingStatusSink;
using testing::StatusCall;
using testing::TempFolder;
using testing::WriteBytes;

// A four-record project rooted in a real folder, so that its items exist: a folder Apps with
// a.dll and a subfolder Tools holding x.ocx; Tools expanded, x.ocx excluded.
class ExampleProject : public ::testing::Test {
  protected:
    void SetUp() override {
        apps = temp / L"Apps";
        MakeFolder(apps);
        MakeFile(apps + L"\\a.dll");
        MakeFolder(apps + L"\\Tools");
        MakeFile(apps + L"\\Tools\\x.ocx");
        state.SaveFile->StartPath = apps;
        state.SaveFile->Altered = true;
        state.DigColl->Add(MakeRecord(1, L"1", 0, apps, L"APPS"));
        state.DigColl->Add(MakeRecord(2, L"2", 1, apps + L"\\a.dll", L"a.dll"));
        state.DigColl->Add(MakeRecord(3, L"1", 1, apps + L"\\Tools", L"TOOLS", L"1", L"1"));
        state.DigColl->Add(MakeRecord(4, L"3", 3, apps + L"\\Tools\\x.ocx", L"x.ocx", L"0", L"0"));
    }

    std::string ExpectedBytes() const {
        const std::string a = Narrow(apps);
        return a + "\r\n" + "1\tK1\t1\t0\t" + a + "\tK0\tAPPS\t1\t0\r\n" + "2\tK2\t2\t1\t" + a +
               "\\a.dll\tK1\ta.dll\t1\t0\r\n" + "3\tK3\t1\t1\t" + a +
               "\\Tools\tK1\tTOOLS\t1\t1\r\n" + "4\tK4\t3\t3\t" + a +
               "\\Tools\\x.ocx\tK3\tx.ocx\t0\t0";
    }

    ProjectState Reopen() {
        ProjectState opened;
        RecordingStatusSink sink;
        OpenProjectFile(opened, fs, sink, file);
        return opened;
    }

    TempFolder temp;
    std::wstring apps;
    std::wstring file = temp / L"example.prw";
    ProjectState state;
    win32::Win32FileSystem fs;
};

TEST_F(ExampleProject, IsWrittenByteForByteWithTheSaveProtocol) {
    RecordingStatusSink sink;
    EXPECT_TRUE(SaveProjectFile(state, fs, sink, file));
    EXPECT_EQ(ReadBytes(file), ExpectedBytes());

    std::vector<StatusCall> expected{{StatusCall::Status, 2, false, L"Saving File: "},
                                     {StatusCall::Show, 5, true, {}}};
    for (int i = 0; i < 5; ++i) expected.push_back({StatusCall::Increment, 1, false, {}});
    expected.push_back({StatusCall::Show, 5, false, {}});
    expected.push_back({StatusCall::Status, 2, false, L"Saved File: " + file});
    EXPECT_EQ(sink.calls, expected);
    EXPECT_FALSE(state.SaveFile->Altered);
    EXPECT_EQ(state.SaveFile->FileName, file);
}

TEST_F(ExampleProject, ReadsBackToTheSameRecordsAndCounts) {
    RecordingStatusSink saveSink;
    SaveProjectFile(state, fs, saveSink, file);

    ProjectState opened;
    opened.SaveFile->Altered = true;
    opened.SaveFile->DLL_Count = 99;
    opened.DigColl->Add(MakeRecord(7, L"2", 0, L"C:\\old.dll", L"old.dll"));
    const auto preDigColl = opened.PreDigColl;
    const auto saveFileObject = opened.SaveFile;
    RecordingStatusSink sink;
    EXPECT_TRUE(OpenProjectFile(opened, fs, sink, file));

    EXPECT_EQ(sink.Texts(), std::vector<std::wstring>{L"2:Opened File: " + file});
    EXPECT_EQ(opened.SaveFile, saveFileObject) << "the project record is refilled in place";
    EXPECT_EQ(opened.PreDigColl, preDigColl);
    const clsSaveFile& p = *opened.SaveFile;
    EXPECT_EQ(p.StartPath, apps);
    EXPECT_EQ(p.FileName, file);
    EXPECT_FALSE(p.Altered);
    EXPECT_EQ(p.Folder_Count, 2);
    EXPECT_EQ(p.DLL_Count, 1);
    EXPECT_EQ(p.OCX_Count, 1);
    EXPECT_EQ(p.Folder_Missing + p.DLL_Missing + p.OCX_Missing, 0);
    ASSERT_EQ(opened.DigColl->Count(), 4);
    for (int32_t i = 1; i <= 4; ++i) {
        const clsObject& got = *opened.DigColl->Item(i);
        EXPECT_TRUE(testing::SameStoredFields(got, *state.DigColl->Item(i))) << i;
        EXPECT_TRUE(got.Exists) << i;
    }
}

TEST_F(ExampleProject, ExistsAndMissingCountsFollowTheDiskAsItStandsAtOpen) {
    RecordingStatusSink sink;
    SaveProjectFile(state, fs, sink, file);

    // a.dll deleted, then a folder of that name made: a folder is no DLL.
    DeleteFileW((apps + L"\\a.dll").c_str());
    ProjectState deleted = Reopen();
    EXPECT_FALSE(deleted.DigColl->Item(2)->Exists);
    EXPECT_EQ(deleted.SaveFile->DLL_Count, 1);
    EXPECT_EQ(deleted.SaveFile->DLL_Missing, 1);

    MakeFolder(apps + L"\\a.dll");
    ProjectState folderNow = Reopen();
    EXPECT_FALSE(folderNow.DigColl->Item(2)->Exists);
    EXPECT_EQ(folderNow.SaveFile->DLL_Missing, 1);

    // Tools and its OCX gone.
    DeleteFileW((apps + L"\\Tools\\x.ocx").c_str());
    RemoveDirectoryW((apps + L"\\Tools").c_str());
    ProjectState gone = Reopen();
    EXPECT_TRUE(gone.DigColl->Item(1)->Exists);
    EXPECT_FALSE(gone.DigColl->Item(3)->Exists);
    EXPECT_FALSE(gone.DigColl->Item(4)->Exists);
    EXPECT_EQ(gone.SaveFile->Folder_Count, 2);
    EXPECT_EQ(gone.SaveFile->Folder_Missing, 1);
    EXPECT_EQ(gone.SaveFile->OCX_Count, 1);
    EXPECT_EQ(gone.SaveFile->OCX_Missing, 1);
}

TEST(ProjectFileWriter, AProjectWithoutItemsIsTheHeaderAlone) {
    TempFolder temp;
    win32::Win32FileSystem fs;
    ProjectState state;
    state.SaveFile->StartPath = L"C:\\";
    RecordingStatusSink sink;
    SaveProjectFile(state, fs, sink, temp / L"empty.prw");
    EXPECT_EQ(ReadBytes(temp / L"empty.prw"), "C:\\\r\n");
    EXPECT_EQ(sink.Increments(), 1);
    EXPECT_EQ(sink.calls[1], (StatusCall{StatusCall::Show, 1, true, {}}));
}

TEST(ProjectFileWriter, RecordLinesCarryNumbersAsPlainDecimalText) {
    clsObject r;
    r.Index = -2147483647 - 1;
    r.ParentIndex = 2147483647;
    r.Key = L"K";
    r.NodeType = L"9";
    r.Path = L"C:\\\\Winnt";
    r.Text = L"";
    r.Included = L"x";
    EXPECT_EQ(BuildRecordLine(r), L"-2147483648\tK\t9\t2147483647\tC:\\\\Winnt\t\t\tx\t\r\n");
    r.Index = 0;
    r.ParentIndex = -7;
    EXPECT_EQ(BuildRecordLine(r).substr(0, 7), L"0\tK\t9\t-");
}

// Files as other tools or hands leave them.
class HandWrittenFile : public ::testing::Test {
  protected:
    ProjectState Open(const std::string& bytes) {
        WriteBytes(file, bytes);
        ProjectState opened;
        opened.DigColl->Add(MakeRecord(1, L"1", 0, L"C:\\previous", L"PREVIOUS"));
        RecordingStatusSink sink;
        OpenProjectFile(opened, fs, sink, file);
        return opened;
    }
    std::wstring OpenFailure(const std::string& bytes) {
        try {
            Open(bytes);
        } catch (const ProwlError& e) {
            return e.message();
        }
        return L"<opened>";
    }

    TempFolder temp;
    std::wstring file = temp / L"hand.prw";
    win32::Win32FileSystem fs;
};

TEST_F(HandWrittenFile, HeaderAloneOpensAsAProjectWithoutItems) {
    for (const std::string bytes : {"C:\\Apps", "C:\\Apps\r\n"}) {
        ProjectState opened = Open(bytes);
        EXPECT_EQ(opened.SaveFile->StartPath, L"C:\\Apps");
        EXPECT_EQ(opened.DigColl->Count(), 0) << "not the previous project's items";
    }
}

TEST_F(HandWrittenFile, LineBreaksAtTheEndAreOptional) {
    const std::string line = "1\tK1\t4\t0\tC:\\A\tK0\tA\t1\t0";
    EXPECT_EQ(Open("C:\\A\r\n" + line).DigColl->Count(), 1);
    ProjectState trailing = Open("C:\\A\r\n" + line + "\r\n" + line + "\r\n");
    EXPECT_EQ(trailing.DigColl->Count(), 2);
}

TEST_F(HandWrittenFile, LinesWithoutExactlyNineFieldsAreSkipped) {
    ProjectState opened = Open(
        "C:\\A\r\n"
        "1\tK1\t1\t0\tC:\\A\tK0\tA\t1\r\n"       // eight fields
        "2\tK2\t1\t0\tC:\\B\tK0\tB\t1\t0\t\r\n"  // a tenth, empty field
        "\r\n"
        "garbage without tabs\r\n"
        "3\tK3\t1\t0\tC:\\C\tK0\tC\t1\t0\r\n"
        "x\tK4\t1\t0\tC:\\D\tK0\tD\t1\t0\tmore");  // ten fields: not even its Index is read
    ASSERT_EQ(opened.DigColl->Count(), 1);
    EXPECT_EQ(opened.DigColl->Item(1)->Path, L"C:\\C");
    EXPECT_EQ(opened.SaveFile->Folder_Count, 1);
}

TEST_F(HandWrittenFile, UnknownNodeTypesAreKeptButCountedNowhere) {
    const std::wstring dll = temp / L"real.dll";
    MakeFile(dll);
    const std::string d = Narrow(dll);
    ProjectState opened = Open(
        "C:\\A\r\n"
        "1\tK1\t4\t0\t" +
        d +
        "\tK0\tA\t1\t0\r\n"
        "2\tK2\t\t0\t" +
        d +
        "\tK0\tB\t1\t0\r\n"
        "3\tK3\t2 \t0\t" +
        d + "\tK0\tC\t1\t0");
    ASSERT_EQ(opened.DigColl->Count(), 3);
    for (const auto& r : *opened.DigColl) EXPECT_FALSE(r->Exists) << Narrow(r->Text);
    const clsSaveFile& p = *opened.SaveFile;
    EXPECT_EQ(p.Folder_Count + p.DLL_Count + p.OCX_Count, 0);
    EXPECT_EQ(p.Folder_Missing + p.DLL_Missing + p.OCX_Missing, 0);
}

TEST_F(HandWrittenFile, HandEditedIndexesAreKeptAsRead) {
    ProjectState opened = Open(
        "\\\\server\\share\r\n"
        "7\tK99\t1\t-3\tC:\\A\tK12\tA\t0\t1\r\n"
        "  +12 \tK1\t1\t 007\tC:\\A\tK0\tA\t1\t0\r\n"
        "-2147483648\tK\t1\t2147483647\tC:\\A\tK\tA\t\t");
    ASSERT_EQ(opened.DigColl->Count(), 3);
    const clsObject& first = *opened.DigColl->Item(1);
    EXPECT_EQ(first.Index, 7);
    EXPECT_EQ(first.Key, L"K99");
    EXPECT_EQ(first.ParentIndex, -3);
    EXPECT_EQ(first.Reference, L"K12");
    EXPECT_EQ(first.Included, L"0");
    EXPECT_EQ(first.Expanded, L"1");
    EXPECT_EQ(opened.DigColl->Item(2)->Index, 12);
    EXPECT_EQ(opened.DigColl->Item(2)->ParentIndex, 7);
    EXPECT_EQ(opened.DigColl->Item(3)->Index, -2147483647 - 1);
    EXPECT_EQ(opened.DigColl->Item(3)->ParentIndex, 2147483647);
    EXPECT_EQ(opened.SaveFile->StartPath, L"\\\\server\\share");
}

TEST_F(HandWrittenFile, AnIndexThatIsNoWholeNumberNamesItsLine) {
    const auto withIndex = [](const std::string& index, const std::string& parent) {
        return "C:\\A\r\n\r\n1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0\r\n" + index + "\tK2\t1\t" + parent +
               "\tC:\\B\tK1\tB\t1\t0";
    };
    EXPECT_EQ(OpenFailure(withIndex("abc", "1")), L"line 4: Index \"abc\" is not a whole number");
    EXPECT_EQ(OpenFailure(withIndex("2", "")), L"line 4: ParentIndex \"\" is not a whole number");
    EXPECT_EQ(OpenFailure(withIndex("2147483648", "1")),
              L"line 4: Index \"2147483648\" is outside the 32-bit range");
    EXPECT_EQ(OpenFailure(withIndex("2", "-2147483649")),
              L"line 4: ParentIndex \"-2147483649\" is outside the 32-bit range");
    for (const std::string bad :
         {"1.5", "1,000", " ", "0x10", "1 2", "--1", "+", "1e3", "99999999999999999999999"})
        EXPECT_EQ(OpenFailure(withIndex(bad, "1")).substr(0, 14), L"line 4: Index ") << bad;
}

TEST_F(HandWrittenFile, ANonAbsoluteHeaderIsNoProjectFile) {
    const std::wstring reason =
        L"line 1: the start path is not an absolute path such as C:\\Folder or \\\\server\\share";
    for (const std::string header :
         {"", "Apps", "C:Apps", "C:/Apps", "\\Apps", "\\\\\\x", "1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0"})
        EXPECT_EQ(OpenFailure(header + "\r\n1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0"), reason) << header;
    EXPECT_EQ(OpenFailure(""), reason);
    EXPECT_EQ(Open("z:\\").SaveFile->StartPath, L"z:\\");
}

TEST_F(HandWrittenFile, LinesEndedWithoutCrLfAreNoProjectFile) {
    const std::wstring reason =
        L"line 1: the start path holds a line break or TAB: the lines of a project file end with "
        L"CR LF";
    EXPECT_EQ(OpenFailure("C:\\A\n1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0"), reason);
    EXPECT_EQ(OpenFailure("C:\\A\r1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0\r"), reason);
}

}  // namespace
}  // namespace prowl
