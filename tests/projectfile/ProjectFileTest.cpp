#include <gtest/gtest.h>

#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"
#include "projectfile/TextEncoding.h"
#include "support/ProjectText.h"
#include "support/RecordingStatusSink.h"
#include "ui/memory/MemoryDisk.h"

namespace prowl {
namespace {

using test::Describe;

const std::string kMark = "\xEF\xBB\xBF";
const std::wstring kFile = L"C:\\p.prw";

// A DLL's record below the project node.
ObjectRef Record(int32_t index, const std::wstring& path, const std::wstring& text) {
    return std::make_shared<clsObject>(
        clsObject{index, 0, L"2", path, true, MakeKey(index), text, L"K0", L"1", L"0"});
}

class ProjectFile : public ::testing::Test {
  protected:
    std::string Save(ProjectState& s) {
        SaveProjectFile(s, disk, sink, kFile);
        return disk.Bytes(kFile);
    }
    ProjectState Open(const std::string& bytes) {
        disk.File(kFile, bytes);
        ProjectState opened;
        OpenProjectFile(opened, disk, sink, kFile);
        return opened;
    }
    // Opens the bytes into the project, which must stay exactly as it was.
    std::wstring OpenFailure(const std::string& bytes) {
        disk.File(L"C:\\bad.prw", bytes);
        const std::wstring before = Describe(state);
        try {
            OpenProjectFile(state, disk, sink, L"C:\\bad.prw");
        } catch (const ProwlError& e) {
            EXPECT_EQ(Describe(state), before);
            return e.message();
        }
        return L"<opened>";
    }

    MemoryDisk disk;
    ProjectState state;
    test::RecordingStatusSink sink;
};

TEST_F(ProjectFile, TheExampleReadsWithTheDisksCountsAndIsWrittenBackByteForByteOrNotAtAll) {
    // A folder Apps with a.dll and a subfolder Tools holding x.ocx; Tools expanded, x.ocx
    // excluded.
    const std::string example =
        "C:\\Apps\r\n1\tK1\t1\t0\tC:\\Apps\tK0\tAPPS\t1\t0\r\n2\tK2\t2\t1\tC:\\Apps\\a.dll\tK1\t"
        "a.dll\t1\t0\r\n3\tK3\t1\t1\tC:\\Apps\\Tools\tK1\tTOOLS\t1\t1\r\n4\tK4\t3\t3\t"
        "C:\\Apps\\Tools\\x.ocx\tK3\tx.ocx\t0\t0";
    disk.File(L"C:\\Apps\\a.dll");
    disk.File(L"C:\\Apps\\Tools\\x.ocx");
    disk.File(kFile, example);
    // Opened into a project that has records: the project record is refilled in place.
    state.DigColl->Add(Record(7, L"C:\\old.dll", L"old.dll"));
    state.SaveFile->Altered = true;
    const SaveFileRef record = state.SaveFile;
    EXPECT_TRUE(OpenProjectFile(state, disk, sink, kFile));
    EXPECT_EQ(state.SaveFile, record);
    const auto records = [&](const wchar_t* exists) {
        return L"\n1|K1|1|0|C:\\Apps|K0|APPS|1|0|exists\n2|K2|2|1|C:\\Apps\\a.dll|K1|a.dll|1|0" +
               std::wstring(exists) + L"\n3|K3|1|1|C:\\Apps\\Tools|K1|TOOLS|1|1" + exists +
               L"\n4|K4|3|3|C:\\Apps\\Tools\\x.ocx|K3|x.ocx|0|0" + exists;
    };
    EXPECT_EQ(Describe(state), L"C:\\Apps|" + kFile + L"| 2 1 1 0 0 0" + records(L"|exists"));
    state.SaveFile->Altered = true;
    EXPECT_EQ(Save(state), example);
    EXPECT_FALSE(state.SaveFile->Altered);
    // Whether an item exists is the disk's word at the time of opening; a folder is no DLL.
    disk.Remove(L"C:\\Apps\\a.dll");
    disk.Folder(L"C:\\Apps\\a.dll");
    disk.Remove(L"C:\\Apps\\Tools");
    OpenProjectFile(state, disk, sink, kFile);
    EXPECT_EQ(Describe(state), L"C:\\Apps|" + kFile + L"| 2 1 1 1 1 1" + records(L""));

    // The Western code page where it holds every text (records' labels take the same way as the
    // start path, as the late switch below shows), else UTF-8 with a mark. The reader widens an
    // ASCII lead itself, in blocks, and hands on the rest from the first other byte, wherever in a
    // block that falls.
    for (int lead : {0, 1, 63, 64, 65, 127, 128})
        EXPECT_EQ(Open("C:\\" + std::string(lead, 'a') + "\xE9\r\n").SaveFile->StartPath,
                  L"C:\\" + std::wstring(lead, L'a') + L"\u00E9");
    const std::pair<std::wstring, std::string> cases[] = {
        // A header alone keeps its line end.
        {L"Caf\u00E9 \u20AC", "C:\\Caf\xE9 \x80\r\n"},
        // U+0100 has a best-fit look-alike "A" in the Western code page: that is no exact form.
        {L"\u0100", kMark + "C:\\\xC4\x80\r\n"},
        {L"\u00E9\u65E5\U0001F600", kMark + "C:\\\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80\r\n"},
    };
    for (const auto& [label, bytes] : cases) {
        ProjectState one;
        one.SaveFile->StartPath = L"C:\\" + label;
        EXPECT_EQ(Save(one), bytes);
        EXPECT_EQ(Open(bytes).SaveFile->StartPath, L"C:\\" + label);
    }

    // A failed save keeps the old file. Big enough that the writer hands the file over in several
    // pieces and has written part of the file when it meets the label it cannot hold; one path is
    // longer than any buffer.
    ProjectState big;
    big.SaveFile->StartPath = L"C:\\Big";
    big.SaveFile->Altered = true;
    for (int32_t i = 1; i <= 5000; ++i)
        big.DigColl->Add(Record(i,
                                i == 2500 ? L"C:\\" + std::wstring(300000, L'q')
                                          : L"C:\\Big\\" + std::wstring(100, L'p'),
                                i == 4000 ? L"\u65E5\u672C" : L"file"));
    // The disk fills once part of the file is written: the project is left as it was.
    disk.File(kFile, "old");
    disk.writesBeforeFailure = 1;
    const std::wstring before = Describe(big);
    EXPECT_THROW(SaveProjectFile(big, disk, sink, kFile), ProwlError);
    EXPECT_EQ(std::tuple(Describe(big), disk.Bytes(kFile), sink.lines.back()),
              std::tuple(before, "old", L"hide 5001"));
    disk.writesBeforeFailure = -1;
    sink.lines.clear();
    std::wstring text = L"C:\\Big\r\n";
    for (const auto& r : *big.DigColl) text += BuildRecordLine(*r);
    std::string expected = kMark;
    AppendUtf8(text.substr(0, text.size() - 2), expected);
    EXPECT_EQ(Save(big), expected);
    // One step per record and one more, whatever the encoding.
    EXPECT_EQ(std::tuple(sink.lines[1], std::count(sink.lines.begin(), sink.lines.end(), L"+1")),
              std::tuple(L"show 5001", 5001));
}

TEST_F(ProjectFile, HandWrittenLinesAreTakenAsWrittenOrSkippedAndWhatIsNoProjectIsRefused) {
    disk.File(L"C:\\real.dll");
    ProjectState opened = Open(
        "\\\\server\\share\r\n"
        "1\tK1\t1\t0\tC:\\A\tK0\tA\t1\r\n"                    // eight fields
        "\r\ngarbage without tabs\r\n"                        // nothing at all
        "  +12 \tK1\t4\t 007\tC:\\real.dll\tK0\tB\t1\t0\r\n"  // a type of no kind
        "-2147483648\tK\t2 \t2147483647\tC:\\real.dll\tK\tC\t\t\r\n"
        "8\tK8\t1\t7\tC:\\real.dll\tK7\tD\t1\t0\r\n"  // a folder that is a file
        "x\tK4\t1\t0\tC:\\D\tK0\tD\t1\t0\tmore");     // ten fields: not even its Index is read
    EXPECT_EQ(Describe(opened), L"\\\\server\\share|" + kFile +
                                    L"| 1 0 0 1 0 0\n12|K1|4|7|C:\\real.dll|K0|B|1|0"
                                    L"\n-2147483648|K|2 |2147483647|C:\\real.dll|K|C||"
                                    L"\n8|K8|1|7|C:\\real.dll|K7|D|1|0");
    EXPECT_EQ(Open("z:\\").SaveFile->StartPath, L"z:\\");

    state.DigColl->Add(Record(1, L"C:\\previous.dll", L"previous.dll"));
    const auto index = [](const std::string& index, const std::string& parent) {
        return "C:\\A\r\n\r\n1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0\r\n" + index + "\tK2\t1\t" + parent +
               "\tC:\\B\tK1\tB\t1\t0";
    };
    const std::pair<std::string, std::wstring> cases[] = {
        {index("abc", "1"), L"line 4: Index \"abc\" is not a whole number"},
        {index("2", ""), L"line 4: ParentIndex \"\" is not a whole number"},
        {index("2147483648", "1"), L"line 4: Index \"2147483648\" is outside the 32-bit range"},
        {index("2", "-2147483649"),
         L"line 4: ParentIndex \"-2147483649\" is outside the 32-bit range"},
        {"C:Apps\r\n",
         L"line 1: the start path is not an absolute path such as C:\\Folder or \\\\server\\share"},
        {"C:\\A\n",
         L"line 1: the start path holds a line break or TAB: the lines of a project "
         L"file end with CR LF"},
        {std::string("C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\tA\t1\t0\r\n") + '\0',
         L"line 3: the file holds a NUL byte, so it is not a project file"},
        {kMark + "C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\t\xC3\xA9\t1\t0\r\n2\tK2\t1\t0\tC:\\B\tK0\t"
                 "\xE0\x80\xAF\t1\t0",
         L"line 3: the text is not valid UTF-8"},
    };
    for (const auto& [bytes, reason] : cases) EXPECT_EQ(OpenFailure(bytes), reason) << bytes;
}

}  // namespace
}  // namespace prowl
