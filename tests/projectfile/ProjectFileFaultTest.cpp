#include <gtest/gtest.h>

#include <algorithm>

#include "ProjectFileTestSupport.h"
#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"
#include "support/EmptyFileSystem.h"
#include "win32/FileSystem_win.h"

namespace prowl {
namespace {

using testing::MakeRecord;
using testing::ReadBytes;
using testing::RecordingStatusSink;
using testing::TempFolder;
using testing::WriteBytes;

std::vector<std::wstring> FolderNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

// Everything a failed command must leave alone: which objects the state holds, and what
// they hold.
struct Snapshot {
    explicit Snapshot(const ProjectState& s)
        : digColl(s.DigColl),
          saveFile(s.SaveFile),
          preDigColl(s.PreDigColl),
          preSaveFile(s.PreSaveFile),
          saveFileValue(*s.SaveFile),
          records(s.DigColl->begin(), s.DigColl->end()) {
        for (const auto& r : records) values.push_back(*r);
    }
    void ExpectUnchanged(const ProjectState& s) const {
        EXPECT_EQ(s.DigColl, digColl);
        EXPECT_EQ(s.SaveFile, saveFile);
        EXPECT_EQ(s.PreDigColl, preDigColl);
        EXPECT_EQ(s.PreSaveFile, preSaveFile);
        const clsSaveFile& p = *s.SaveFile;
        EXPECT_EQ(p.StartPath, saveFileValue.StartPath);
        EXPECT_EQ(p.FileName, saveFileValue.FileName);
        EXPECT_EQ(p.Altered, saveFileValue.Altered);
        EXPECT_EQ(std::make_tuple(p.DLL_Count, p.OCX_Count, p.Folder_Count, p.DLL_Missing,
                                  p.OCX_Missing, p.Folder_Missing),
                  std::make_tuple(saveFileValue.DLL_Count, saveFileValue.OCX_Count,
                                  saveFileValue.Folder_Count, saveFileValue.DLL_Missing,
                                  saveFileValue.OCX_Missing, saveFileValue.Folder_Missing));
        ASSERT_EQ(s.DigColl->Count(), static_cast<int32_t>(records.size()));
        for (std::size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(s.DigColl->Item(static_cast<int32_t>(i + 1)), records[i]);
            EXPECT_TRUE(testing::SameStoredFields(*records[i], values[i]));
            EXPECT_EQ(records[i]->Exists, values[i].Exists);
        }
    }

    CollectionRef digColl;
    SaveFileRef saveFile;
    CollectionRef preDigColl;
    SaveFileRef preSaveFile;
    clsSaveFile saveFileValue;
    std::vector<ObjectRef> records;
    std::vector<clsObject> values;
};

class Faults : public ::testing::Test {
  protected:
    void SetUp() override {
        state.SaveFile->StartPath = L"C:\\Apps";
        state.SaveFile->FileName = L"C:\\before.prw";
        state.SaveFile->Altered = true;
        state.SaveFile->DLL_Count = 1;
        state.SaveFile->DLL_Missing = 1;
        state.DigColl->Add(MakeRecord(1, L"1", 0, L"C:\\Apps", L"APPS"));
        state.DigColl->Add(MakeRecord(2, L"2", 1, L"C:\\Apps\\a.dll", L"a.dll"));
    }

    std::wstring SaveFailure(const std::wstring& target, RecordingStatusSink& sink) {
        try {
            SaveProjectFile(state, fs, sink, target);
        } catch (const ProwlError& e) {
            return e.message();
        }
        return L"<saved>";
    }

    void ExpectOpenFails(const std::string& bytes, const std::wstring& reason) {
        const std::wstring file = temp / L"bad.prw";
        WriteBytes(file, bytes);
        const Snapshot before(state);
        RecordingStatusSink sink;
        try {
            OpenProjectFile(state, fs, sink, file);
            ADD_FAILURE() << "opened";
        } catch (const ProwlError& e) {
            EXPECT_EQ(e.message(), reason);
        }
        EXPECT_TRUE(sink.calls.empty());
        before.ExpectUnchanged(state);
    }

    TempFolder temp;
    ProjectState state;
    win32::Win32FileSystem fs;
};

TEST_F(Faults, SaveIntoAMissingFolderChangesNothing) {
    const Snapshot before(state);
    RecordingStatusSink sink;
    EXPECT_NE(SaveFailure(temp / L"no such folder\\p.prw", sink), L"<saved>");
    before.ExpectUnchanged(state);
    EXPECT_FALSE(sink.BarVisible());
    EXPECT_EQ(sink.Texts(), std::vector<std::wstring>{L"2:Saving File: "});
    EXPECT_TRUE(FolderNames(temp.path()).empty());
}

TEST_F(Faults, SaveOntoAReadOnlyFileKeepsTheOldFile) {
    const std::wstring target = temp / L"locked.prw";
    WriteBytes(target, "C:\\Old");
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
    const Snapshot before(state);
    RecordingStatusSink sink;
    EXPECT_NE(SaveFailure(target, sink), L"<saved>");
    before.ExpectUnchanged(state);
    EXPECT_FALSE(sink.BarVisible());
    EXPECT_EQ(ReadBytes(target), "C:\\Old");
    EXPECT_EQ(FolderNames(temp.path()), std::vector<std::wstring>{L"locked.prw"})
        << "no temporary file left behind";
}

TEST_F(Faults, ASaveReplacesAnExistingFileWhole) {
    const std::wstring target = temp / L"p.prw";
    WriteBytes(target, std::string(100000, 'x'));
    RecordingStatusSink sink;
    SaveProjectFile(state, fs, sink, target);
    EXPECT_EQ(ReadBytes(target),
              "C:\\Apps\r\n1\tK1\t1\t0\tC:\\Apps\tK0\tAPPS\t1\t0\r\n"
              "2\tK2\t2\t1\tC:\\Apps\\a.dll\tK1\ta.dll\t1\t0");
    EXPECT_EQ(FolderNames(temp.path()), std::vector<std::wstring>{L"p.prw"});
}

TEST_F(Faults, ASaveFinishesTheProjectItBeganWith) {
    // The window processes events at each progress call; a command taken there may replace
    // the project. The file and the clean mark belong to the project the save started with.
    const SaveFileRef original = state.SaveFile;
    RecordingStatusSink sink;
    bool replaced = false;
    sink.onEvents = [&] {
        if (replaced || sink.calls.back().kind != testing::StatusCall::Increment) return;
        replaced = true;
        state.DigColl = std::make_shared<ItemCollection>();
        state.SaveFile = std::make_shared<clsSaveFile>();
        state.SaveFile->Altered = true;
    };
    const std::wstring target = temp / L"p.prw";
    SaveProjectFile(state, fs, sink, target);
    const std::string written = ReadBytes(target);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\t'), 16) << "both original records";
    EXPECT_EQ(original->FileName, target);
    EXPECT_FALSE(original->Altered);
    EXPECT_TRUE(state.SaveFile->Altered);
    EXPECT_EQ(state.SaveFile->FileName, L"");
}

// A disk that fills up at the end of the write, for a file system that offers only the
// whole-contents replacement.
class FullDisk final : public test::EmptyFileSystem {
  public:
    void ReplaceFileContents(const std::wstring&, const std::string& bytes) override {
        offered = bytes;
        throw ProwlError(L"There is not enough space on the disk.");
    }
    std::string offered;
};

TEST_F(Faults, AWriteThatFailsAtTheEndChangesNothing) {
    FullDisk disk;
    const Snapshot before(state);
    RecordingStatusSink sink;
    try {
        SaveProjectFile(state, disk, sink, L"C:\\p.prw");
        ADD_FAILURE() << "saved";
    } catch (const ProwlError& e) {
        EXPECT_EQ(e.message(), L"There is not enough space on the disk.");
    }
    EXPECT_EQ(disk.offered.substr(0, 9), "C:\\Apps\r\n") << "the whole file was offered";
    before.ExpectUnchanged(state);
    EXPECT_FALSE(sink.BarVisible());
    EXPECT_EQ(sink.Texts(), std::vector<std::wstring>{L"2:Saving File: "});
}

TEST_F(Faults, AMissingFileLeavesTheProjectAlone) {
    const Snapshot before(state);
    RecordingStatusSink sink;
    try {
        OpenProjectFile(state, fs, sink, temp / L"absent.prw");
        ADD_FAILURE() << "opened";
    } catch (const ProwlError& e) {
        EXPECT_FALSE(e.message().empty());
        EXPECT_EQ(e.message().find(L"line "), std::wstring::npos);
    }
    before.ExpectUnchanged(state);
}

TEST_F(Faults, ContentThatIsNoProjectLeavesTheProjectAlone) {
    ExpectOpenFails("Hello, this is a letter.\r\nKind regards",
                    L"line 1: the start path is not an absolute path such as C:\\Folder or "
                    L"\\\\server\\share");
    ExpectOpenFails(std::string("MZ\x90\0\x03\0\0\0", 8) + "\r\n",
                    L"line 1: the file holds a NUL byte, so it is not a project file");
    ExpectOpenFails(std::string("C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0\r\n\0\0", 36),
                    L"line 3: the file holds a NUL byte, so it is not a project file");
    // The good line before the bad one must not reach the project either.
    ExpectOpenFails("C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0\r\none\tK2\t1\t0\tC:\\B\tK0\tB\t1\t0",
                    L"line 3: Index \"one\" is not a whole number");
    ExpectOpenFails(
        "\xEF\xBB\xBF"
        "C:\\A\r\n\xC3",
        L"line 2: the text is not valid UTF-8");
}

}  // namespace
}  // namespace prowl
