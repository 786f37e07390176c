#include <gtest/gtest.h>
#include <windows.h>

#include <random>

#include "ProjectFileSupport.h"
#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"
#include "projectfile/TextEncoding.h"
#include "support/RecordingStatusSink.h"
#include "support/TempTree.h"
#include "win32/FileSystem_win.h"

namespace prowl {
namespace {

using test::MakeRecord;
const std::string kMark = "\xEF\xBB\xBF";

class Encoding : public ::testing::Test {
  protected:
    std::string Save(ProjectState& state) {
        SaveProjectFile(state, fs, sink, file);
        return tree.Read(L"enc.prw");
    }
    std::string SaveWithLabel(const std::wstring& label) {
        ProjectState state;
        state.SaveFile->StartPath = L"C:\\A";
        state.DigColl->Add(MakeRecord(1, L"1", 0, L"C:\\A", label));
        return Save(state);
    }
    ProjectState Open() {
        ProjectState opened;
        OpenProjectFile(opened, fs, sink, file);
        return opened;
    }

    test::TempTree tree;
    std::wstring file = tree.Path(L"enc.prw");
    win32::Win32FileSystem fs;
    test::RecordingStatusSink sink;
};

TEST_F(Encoding, TheCodePageIsUsedWhereItHoldsEveryTextAndUtf8WithAMarkElsewhere) {
    if (GetACP() != 1252) GTEST_SKIP() << "expects the Western code page";
    const struct {
        std::wstring label;
        std::string bytes;
    } cases[] = {
        {L"Caf\u00E9 \u20AC", "Caf\xE9 \x80"},
        // U+0100 has a best-fit look-alike "A" in the Western code page: that is no exact form.
        {L"\u0100", kMark + "\xC4\x80"},
        {L"\u00E9\u65E5\U0001F600", kMark + "\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80"},
        // A lone surrogate has no UTF-8 form of its own; it keeps the three bytes of its code.
        {std::wstring(1, wchar_t(0xD800)) + L"x", kMark + "\xED\xA0\x80x"},
    };
    for (const auto& c : cases) {
        const bool utf8 = c.bytes.rfind(kMark, 0) == 0;
        EXPECT_EQ(SaveWithLabel(c.label), (utf8 ? kMark : "") +
                                              "C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\t" +
                                              c.bytes.substr(utf8 ? 3 : 0) + "\t1\t0");
        EXPECT_EQ(Open().DigColl->Item(1)->Text, c.label);
    }
}

TEST_F(Encoding, ASwitchLateInALargeProjectRewritesTheWholeFile) {
    // Big enough that the first attempt has already written part of its temporary file when
    // it meets the label it cannot hold; one path longer than any write buffer.
    ProjectState state;
    state.SaveFile->StartPath = L"C:\\Big";
    for (int32_t i = 1; i <= 5000; ++i) {
        const std::wstring path = i == 2500 ? L"C:\\" + std::wstring(300000, L'q')
                                            : L"C:\\Big\\" + std::wstring(100, L'p');
        state.DigColl->Add(MakeRecord(i, L"2", 1, path, i == 4000 ? L"\u65E5\u672C" : L"file"));
    }
    std::wstring text = L"C:\\Big\r\n";
    for (const auto& r : *state.DigColl) text += BuildRecordLine(*r);
    text.resize(text.size() - 2);
    std::string expected = kMark;
    AppendUtf8(text, expected);
    EXPECT_EQ(Save(state), expected);
    int steps = 0;
    for (const auto& line : sink.lines) steps += line == L"+1";
    EXPECT_EQ(steps, 5001) << "one step per record and one more, whatever the encoding";
    EXPECT_EQ(test::StoredRecords(*Open().DigColl), test::StoredRecords(*state.DigColl));
}

TEST_F(Encoding, EveryCodePageByteSurvivesOpenThenSaveWhereverItFirstAppears) {
    // Files from other tools may hold any byte; one that decodes must be written back as it
    // was. The reader widens the ASCII lead itself and hands on the rest from the first other
    // byte, wherever in its blocks of bytes that falls.
    int refused = 0;
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string bytes = "C:\\" + std::string(static_cast<std::size_t>(b - 0x80), 'a') +
                                  "\r\n1\tK1\t1\t0\tC:\\A\tK0\tx" + std::string(1, char(b)) +
                                  "\t1\t0";
        tree.File(L"enc.prw", bytes);
        ProjectState opened;
        try {
            OpenProjectFile(opened, fs, sink, file);
        } catch (const ProwlError& e) {
            EXPECT_EQ(e.message(), L"line 2: the text is not valid in the system's ANSI code page");
            ++refused;
            continue;
        }
        EXPECT_EQ(Save(opened), bytes) << "byte " << b;
    }
    if (GetACP() == 1252) {
        EXPECT_EQ(refused, 0);
        tree.File(L"enc.prw", "C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\tx\x81\t1\t0");
        EXPECT_EQ(Open().DigColl->Item(1)->Text, L"x\u0081") << "undefined bytes: C1 controls";
    }
}

TEST_F(Encoding, MalformedUtf8IsRefusedNamingTheLine) {
    const std::string good = "C:\\A\r\n1\tK1\t1\t0\tC:\\A\tK0\t\xC3\xA9\t1\t0\r\n";
    for (const std::string bad :
         {"\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xF4\x90\x80\x80", "\xFF", "\xE6\x97"}) {
        tree.File(L"enc.prw", kMark + good + "2\tK2\t1\t0\tC:\\B\tK0\t" + bad + "\t1\t0");
        EXPECT_THROW(
            {
                try {
                    Open();
                } catch (const ProwlError& e) {
                    EXPECT_EQ(e.message(), L"line 3: the text is not valid UTF-8");
                    throw;
                }
            },
            ProwlError);
    }
    std::wstring back = L"keep";
    std::string bytes;
    const std::wstring text = L"a\u00FF\u0800\uFFFD\U00010000\U0010FFFF\xDFFF";
    AppendUtf8(text, bytes);
    ASSERT_TRUE(TryDecodeUtf8(bytes, back));
    EXPECT_EQ(back, L"keep" + text);
}

// Random projects, with text from every corner: ASCII, the code page's upper half, Greek,
// CJK, emoji as surrogate pairs and the odd lone surrogate. TAB, CR, LF and NUL are left out:
// the format has no escape for them.
TEST_F(Encoding, RandomProjectsSurviveSaveThenOpen) {
    std::mt19937 rng(20261206);
    const auto pick = [&](unsigned n) { return static_cast<unsigned>(rng() % n); };
    const auto text = [&](unsigned maxLength) {
        static const std::pair<unsigned, unsigned> ranges[] = {
            {0x20, 0x5F}, {0x20, 0x5F}, {0x80, 0x80}, {0x391, 0x18}, {0x4E00, 0x5000}, {0xDC00, 4}};
        std::wstring s;
        const bool ascii = pick(4) == 0;
        for (unsigned i = pick(maxLength + 1); i > 0; --i) {
            if (!ascii && pick(8) == 0) {
                s += wchar_t(0xD83D), s += wchar_t(0xDE00 + pick(0x50));
                continue;
            }
            const auto& [first, count] = ranges[ascii ? 0 : pick(6)];
            s += static_cast<wchar_t>(first + pick(count));
        }
        return s;
    };
    const auto number = [&] {
        const int32_t extremes[] = {2147483647, -2147483647 - 1, 0};
        return pick(2) ? static_cast<int32_t>(rng()) : extremes[pick(3)];
    };
    for (int round = 0; round < 300; ++round) {
        ProjectState saved;
        saved.SaveFile->StartPath = (pick(3) ? L"C:\\" : L"\\\\srv\\") + text(12);
        for (unsigned i = pick(25); i > 0; --i) {
            static const wchar_t* kTypes[] = {L"1", L"2", L"3", L"", L"7"};
            auto r = MakeRecord(number(), kTypes[pick(5)], number(), L"Q:\\" + text(30), text(12),
                                text(1), text(1));
            r->Key = text(4);
            r->Reference = text(4);
            saved.DigColl->Add(r);
        }
        const std::string bytes = Save(saved);
        ProjectState opened;
        ASSERT_NO_THROW(OpenProjectFile(opened, fs, sink, file)) << "round " << round;
        ASSERT_EQ(opened.SaveFile->StartPath, saved.SaveFile->StartPath) << "round " << round;
        ASSERT_EQ(test::StoredRecords(*opened.DigColl), test::StoredRecords(*saved.DigColl))
            << "round " << round;
        int counts[8] = {};
        for (const auto& r : *saved.DigColl)
            ++counts[r->NodeType.empty() ? 0 : r->NodeType[0] - L'0'];
        const clsSaveFile& p = *opened.SaveFile;
        EXPECT_EQ(std::make_tuple(p.Folder_Count, p.DLL_Count, p.OCX_Count, p.Folder_Missing,
                                  p.DLL_Missing, p.OCX_Missing),
                  std::make_tuple(counts[1], counts[2], counts[3], counts[1], counts[2], counts[3]))
            << "no Q: drive, so nothing exists";
        const bool marked = bytes.rfind(kMark, 0) == 0;
        const bool high = std::any_of(bytes.begin() + (marked ? 3 : 0), bytes.end(),
                                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        EXPECT_TRUE(!marked || high) << "a mark only where it is needed";
    }
}

}  // namespace
}  // namespace prowl
