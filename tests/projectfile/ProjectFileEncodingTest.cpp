#include <gtest/gtest.h>

#include <random>

#include "ProjectFileTestSupport.h"
#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"
#include "projectfile/TextEncoding.h"
#include "win32/FileSystem_win.h"

namespace prowl {
namespace {

using testing::MakeRecord;
using testing::ReadBytes;
using testing::RecordingStatusSink;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kMark = "\xEF\xBB\xBF";

class Encoding : public ::testing::Test {
  protected:
    std::string SaveWithLabel(const std::wstring& label) {
        ProjectState state;
        state.SaveFile->StartPath = L"C:\\A";
        state.DigColl->Add(MakeRecord(1, L"1", 0, L"C:\\A", label));
        RecordingStatusSink sink;
        SaveProjectFile(state, fs, sink, file);
        return ReadBytes(file);
    }
    ProjectState OpenBytes(const std::string& bytes) {
        WriteBytes(file, bytes);
        ProjectState opened;
        RecordingStatusSink sink;
        OpenProjectFile(opened, fs, sink, file);
        return opened;
    }
    std::wstring OpenFailure(const std::string& bytes) {
        try {
            OpenBytes(bytes);
        } catch (const ProwlError& e) {
            return e.message();
        }
        return L"<opened>";
    }

    TempFolder temp;
    std::wstring file = temp / L"enc.prw";
    win32::Win32FileSystem fs;
};

TEST_F(Encoding, TextTheCodePageHoldsIsWrittenThereWithoutMark) {
    if (GetACP() != 1252) GTEST_SKIP() << "expects the Western code page";
    EXPECT_EQ(SaveWithLabel(L"Caf\u00E9 \u20AC"),
              "C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\tCaf\xE9 \x80\t1\t0");
}

TEST_F(Encoding, TextOutsideTheCodePageSwitchesTheWholeFileToUtf8) {
    // U+0100 has a best-fit look-alike "A" in the Western code page: that is no exact form.
    if (GetACP() == 1252) {
        EXPECT_EQ(SaveWithLabel(L"\u0100"),
                  kMark + "C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\t\xC4\x80\t1\t0");
    }
    EXPECT_EQ(
        SaveWithLabel(L"\u00E9\u65E5\U0001F600"),
        kMark + "C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\t\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80\t1\t0");
    // A lone surrogate has no UTF-8 form of its own; it keeps the three bytes of its code point.
    EXPECT_EQ(SaveWithLabel(std::wstring(1, wchar_t(0xD800)) + L"x"),
              kMark + "C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\t\xED\xA0\x80x\t1\t0");
}

TEST_F(Encoding, ASwitchLateInALargeProjectRewritesTheWholeFile) {
    // Big enough that the first attempt has already written part of its temporary file when
    // it meets the label it cannot hold; one path longer than any write buffer.
    ProjectState state;
    state.SaveFile->StartPath = L"C:\\Big";
    for (int32_t i = 1; i <= 5000; ++i)
        state.DigColl->Add(MakeRecord(i, L"2", 1,
                                      L"C:\\Big\\" + std::wstring(100, L'p') + std::to_wstring(i),
                                      i == 4000 ? L"\u65E5\u672C" : L"file"));
    state.DigColl->Item(2500)->Path = L"C:\\" + std::wstring(300000, L'q');
    RecordingStatusSink sink;
    SaveProjectFile(state, fs, sink, file);

    std::wstring text = L"C:\\Big\r\n";
    for (const auto& r : *state.DigColl) text += BuildRecordLine(*r);
    text.resize(text.size() - 2);
    std::string expected = kMark;
    AppendUtf8(text, expected);
    EXPECT_EQ(ReadBytes(file), expected);
    EXPECT_EQ(sink.Increments(), 5001) << "one step per record and one more, whatever the encoding";

    ProjectState opened;
    OpenProjectFile(opened, fs, sink, file);
    ASSERT_EQ(opened.DigColl->Count(), 5000);
    for (int32_t i = 1; i <= 5000; ++i)
        ASSERT_TRUE(testing::SameStoredFields(*opened.DigColl->Item(i), *state.DigColl->Item(i)))
            << i;
}

TEST_F(Encoding, CodePageTextReadsBackWhereverItFirstAppears) {
    // The reader widens the ASCII lead of a file itself and hands the rest on from the first
    // other byte, wherever in a block of bytes that falls.
    for (std::size_t lead = 0; lead < 150; ++lead) {
        ProjectState saved;
        saved.SaveFile->StartPath = L"C:\\" + std::wstring(lead, L'a') + L"\u00E9\u00FC";
        saved.DigColl->Add(MakeRecord(1, L"1", 0, L"C:\\x", L"\u00C6RA"));
        RecordingStatusSink sink;
        SaveProjectFile(saved, fs, sink, file);
        if (GetACP() == 1252) {
            ASSERT_NE(ReadBytes(file).substr(0, 3), kMark);
        }
        ProjectState opened;
        OpenProjectFile(opened, fs, sink, file);
        ASSERT_EQ(opened.SaveFile->StartPath, saved.SaveFile->StartPath) << lead;
        ASSERT_EQ(opened.DigColl->Item(1)->Text, L"\u00C6RA") << lead;
    }
}

TEST_F(Encoding, EveryCodePageByteSurvivesOpenThenSave) {
    // Files from other tools may hold any byte; one that decodes must be written back as it was.
    // The Western code page leaves five bytes undefined; they read as the C1 controls of the
    // same number, so they too come back unchanged.
    int refused = 0;
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string bytes =
            "C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\tx" + std::string(1, char(b)) + "\t1\t0";
        WriteBytes(file, bytes);
        ProjectState opened;
        RecordingStatusSink sink;
        try {
            OpenProjectFile(opened, fs, sink, file);
        } catch (const ProwlError& e) {
            EXPECT_EQ(e.message(), L"line 2: the text is not valid in the system's ANSI code page")
                << b;
            ++refused;
            continue;
        }
        SaveProjectFile(opened, fs, sink, file);
        EXPECT_EQ(ReadBytes(file), bytes) << "byte " << b;
        if (b == 0x81) {
            EXPECT_EQ(opened.DigColl->Item(1)->Text, L"x\u0081");
        }
    }
    if (GetACP() == 1252) {
        EXPECT_EQ(refused, 0);
    }
}

TEST_F(Encoding, MalformedUtf8IsRefusedNamingTheLine) {
    const std::string good = "C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\t\xC3\xA9\t1\t0\r\n";
    EXPECT_EQ(OpenBytes(kMark + good).DigColl->Item(1)->Text, L"\u00E9");
    for (const std::string bad :
         {"\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xF4\x90\x80\x80", "\xFF", "\xE6\x97"})
        EXPECT_EQ(OpenFailure(kMark + good + "2\tK2\t1\t0\tC:\\B\tK0\t" + bad + "\t1\t0"),
                  L"line 3: the text is not valid UTF-8");
}

TEST(TextEncoding, Utf8DecodesWhatItEncodes) {
    const std::wstring text =
        L"a\u00FF\u0800\uFFFD\U00010000\U0010FFFF" + std::wstring(1, wchar_t(0xDFFF));
    std::string bytes;
    AppendUtf8(text, bytes);
    std::wstring back = L"keep";
    ASSERT_TRUE(TryDecodeUtf8(bytes, back));
    EXPECT_EQ(back, L"keep" + text);
    std::wstring untouched = L"keep";
    EXPECT_FALSE(TryDecodeUtf8("ok\x80", untouched));
    EXPECT_EQ(untouched, L"keep");
}

// Random projects, with text from every corner: ASCII, the code page's upper half, C1
// controls, Greek, CJK, emoji as surrogate pairs and the odd lone surrogate. TAB, CR, LF and
// NUL are left out: the format has no escape for them.
class RandomProjects {
  public:
    explicit RandomProjects(uint32_t seed) : rng_(seed) {}

    std::wstring Text(std::size_t maxLength) {
        std::wstring s;
        const std::size_t n = Pick(maxLength + 1);
        const bool asciiOnly = Pick(4) == 0;
        for (std::size_t i = 0; i < n; ++i) {
            switch (asciiOnly ? 0 : Pick(8)) {
                case 0:
                case 1:
                case 2:
                    s += wchar_t(0x20 + Pick(0x5F));
                    break;
                case 3:
                    s += wchar_t(0x80 + Pick(0x80));
                    break;
                case 4:
                    s += wchar_t(0x391 + Pick(0x18));
                    break;
                case 5:
                    s += wchar_t(0x4E00 + Pick(0x5000));
                    break;
                case 6:
                    s += wchar_t(0xD83D), s += wchar_t(0xDE00 + Pick(0x50));
                    break;
                default:
                    s += Pick(20) == 0 ? wchar_t(0xDC00 + Pick(0x400))
                                       : wchar_t(0x100 + Pick(0x100));
            }
        }
        return s;
    }
    int32_t Number() {
        switch (Pick(4)) {
            case 0:
                return static_cast<int32_t>(rng_());
            case 1:
                return Pick(2) ? 2147483647 : -2147483647 - 1;
            default:
                return static_cast<int32_t>(Pick(1000));
        }
    }
    void Fill(ProjectState& state) {
        state.SaveFile->StartPath = (Pick(3) ? L"C:\\" : L"\\\\srv\\") + Text(12);
        const std::size_t n = Pick(25);
        static const wchar_t* kTypes[] = {L"1", L"2", L"3", L"", L"7"};
        for (std::size_t i = 0; i < n; ++i) {
            auto r = std::make_shared<clsObject>();
            r->Index = Number();
            r->ParentIndex = Number();
            r->Key = Text(4);
            r->NodeType = kTypes[Pick(5)];
            r->Path = L"Q:\\" + Text(30);
            r->Reference = Text(4);
            r->Text = Text(12);
            r->Included = Text(1);
            r->Expanded = Text(1);
            state.DigColl->Add(r);
        }
    }

  private:
    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
    }
    std::mt19937 rng_;
};

bool IsAscii(const std::string& bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

TEST_F(Encoding, RandomProjectsSurviveSaveThenOpen) {
    RandomProjects random(20261206);
    for (int round = 0; round < 300; ++round) {
        ProjectState saved;
        random.Fill(saved);
        RecordingStatusSink sink;
        SaveProjectFile(saved, fs, sink, file);
        const std::string bytes = ReadBytes(file);

        ProjectState opened;
        ASSERT_NO_THROW(OpenProjectFile(opened, fs, sink, file)) << "round " << round;
        ASSERT_EQ(opened.SaveFile->StartPath, saved.SaveFile->StartPath) << "round " << round;
        ASSERT_EQ(opened.DigColl->Count(), saved.DigColl->Count()) << "round " << round;
        int32_t folders = 0, dlls = 0, ocxs = 0;
        for (int32_t i = 1; i <= saved.DigColl->Count(); ++i) {
            const clsObject& want = *saved.DigColl->Item(i);
            ASSERT_TRUE(testing::SameStoredFields(*opened.DigColl->Item(i), want))
                << "round " << round << " record " << i;
            folders += want.NodeType == L"1";
            dlls += want.NodeType == L"2";
            ocxs += want.NodeType == L"3";
        }
        const clsSaveFile& p = *opened.SaveFile;
        EXPECT_EQ(std::make_tuple(p.Folder_Count, p.DLL_Count, p.OCX_Count),
                  std::make_tuple(folders, dlls, ocxs));
        EXPECT_EQ(std::make_tuple(p.Folder_Missing, p.DLL_Missing, p.OCX_Missing),
                  std::make_tuple(folders, dlls, ocxs))
            << "no Q: drive, so nothing exists";
        if (bytes.rfind(kMark, 0) == 0) {
            EXPECT_FALSE(IsAscii(bytes.substr(3)));
        }
    }
}

}  // namespace
}  // namespace prowl
