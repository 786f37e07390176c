// The logic over a disk in memory at the edges: a folder that goes away behind the walk's back,
// paths longer than the old 260-character limit, a project of a million records, and megabytes
// of junk offered as a project file; and every input of the fuzz corpus (the seeds and each
// crash once found) replayed through its target under the sanitizers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "Desk.h"
#include "FuzzTargets.h"
#include "projectfile/ProjectFile.h"

namespace prowl {
namespace {

// A folder listed but gone when the walk reaches it is left out, and a path past the old
// 260-character limit goes through scan, save and open whole.
TEST(Limits, AFolderGoneBeforeItIsWalkedIsLeftOutAndLongPathsGoThroughWhole) {
    test::Desk desk;
    std::wstring folder = L"C:\\P\\A";
    while (folder.size() < 300) folder += L"\\folder" + std::to_wstring(folder.size());
    desk.disk.File(folder + L"\\kept.ocx");
    desk.disk.File(L"C:\\P\\B\\never.dll");
    desk.disk.onList = [&](const std::wstring& listed) {
        if (listed == L"C:\\P\\A") desk.disk.Remove(L"C:\\P\\B");
    };
    desk.logic.OnDropFiles({L"C:\\P"});
    SaveProjectFile(desk.state, desk.disk, desk.logic, L"C:\\P\\long.prw");
    ProjectState reopened;
    OpenProjectFile(reopened, desk.disk, desk.logic, L"C:\\P\\long.prw");
    const auto rows = test::RowsOf(desk.state);
    EXPECT_EQ(test::RowsOf(reopened), rows);
    EXPECT_NE(rows.back().find(L"|3|" + folder + L"\\kept.ocx|"), std::wstring::npos) << "no B";
}

// 100,000 records here; PROWL_LIMIT_FOLDERS=1000 makes it the million-record project (about
// 20 s of processor time under the sanitizers, so not in every run).
TEST(Limits, AProjectOfUpToAMillionRecordsOpensDrawsAndSavesToTheSameBytes) {
    const char* folders = std::getenv("PROWL_LIMIT_FOLDERS");
    std::string file = "C:\\P\r\n1\tK1\t1\t0\tC:\\P\tK0\tP\t1\t0";
    for (int i = 2, count = 1000 * (folders ? std::atoi(folders) : 100); i <= count; ++i) {
        const std::string n = std::to_string(i);
        file += "\r\n" + n + "\tK" + n + "\t2\t1\tC:\\P\\" + n + ".dll\tK1\t" + n + ".dll\t1\t0";
    }
    test::Desk desk;
    desk.disk.File(L"C:\\P\\big.prw", file);
    ASSERT_TRUE(OpenProjectFile(desk.state, desk.disk, desk.logic, L"C:\\P\\big.prw"));
    desk.logic.ProjectTree().BuildProjectTree(*desk.state.DigColl);
    EXPECT_EQ(desk.window.tree.Count(), desk.state.DigColl->Count() + 1);
    SaveProjectFile(desk.state, desk.disk, desk.logic, L"C:\\P\\big2.prw");
    EXPECT_TRUE(desk.disk.Bytes(L"C:\\P\\big2.prw") == file);
}

TEST(Limits, TheFuzzCorpusAndMegabytesOfRandomBytesPassTheirTargets) {
    const std::pair<const char*, void (*)(std::string_view)> targets[] = {
        {"ProjectFileFuzz", fuzz::ProjectFileFuzz},
        {"ProjectTreeFuzz", fuzz::ProjectTreeFuzz},
        {"PeReaderFuzz", fuzz::PeReaderFuzz}};
    for (const auto& [name, body] : targets) {
        const auto folder = std::filesystem::path(PROWL_FUZZ_CORPUS) / name;
        EXPECT_FALSE(std::filesystem::is_empty(folder)) << name;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            SCOPED_TRACE(entry.path().string());
            std::ifstream in(entry.path(), std::ios::binary);
            body(std::string(std::istreambuf_iterator<char>(in), {}));
        }
    }
    // Raw bytes stop at the first NUL; bytes without one reach the decoder; the alphabet of a
    // project file under a good header reaches the field checks on every line.
    std::mt19937 random(15);
    const std::string alphabet = "0123456789K\t\t\t\r\n\r\n -+C:\\";
    for (int kind = 0; kind < 3; ++kind) {
        std::string bytes = kind == 2 ? "C:\\P\r\n" : "";
        while (bytes.size() < (3u << 20)) {
            const auto byte = static_cast<char>(random());
            bytes += kind == 0   ? byte
                     : kind == 1 ? (byte ? byte : 'x')
                                 : alphabet[random() % alphabet.size()];
        }
        fuzz::ProjectFileFuzz(bytes);
    }
}

}  // namespace
}  // namespace prowl
