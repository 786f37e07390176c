// The logic over a disk in memory at the edges: files that go away behind the program's back,
// paths longer than the old 260-character limit, a folder link that loops, a project of a
// million records, and megabytes of junk offered as a project file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "Desk.h"
#include "FuzzTargets.h"
#include "projectfile/ProjectFile.h"

namespace prowl {
namespace {

using test::Desk;

TEST(Faults, FilesThatVanishMidScanOrAfterAreShownMissingNeverLaunchedAndLinksLoopOnce) {
    Desk desk;
    desk.disk.File(L"C:\\P\\A\\gone.dll");
    desk.disk.File(L"C:\\P\\A\\kept.ocx");
    desk.disk.File(L"C:\\P\\B\\never.dll");
    desk.disk.Link(L"C:\\P\\A\\up", L"C:\\P");  // a loop, entered once
    // B is listed with A but gone by the time the walk reaches it.
    desk.disk.onList = [&](const std::wstring& folder) {
        if (folder == L"C:\\P\\A") desk.disk.Remove(L"C:\\P\\B");
    };
    ASSERT_TRUE(desk.Scan(L"C:\\P"));
    EXPECT_EQ(desk.state.DigColl->Count(), 4) << "P, A and its two files";
    EXPECT_EQ(desk.NodeOf(L"never.dll"), 0);

    desk.disk.Remove(L"C:\\P\\A\\gone.dll");
    desk.window.tree.UserClick(desk.NodeOf(L"gone.dll"));
    EXPECT_EQ(desk.logic.FilePath(), L"C:\\P\\A\\gone.dll [File Not Found]");
    EXPECT_TRUE(desk.Register(L"gone.dll", 0).empty());
    EXPECT_NE(desk.logic.PanelText(kPanelAction).find(L"C:\\P\\A\\gone.dll"), std::wstring::npos);

    desk.disk.unexaminable.insert(L"C:\\P\\A\\kept.ocx");
    desk.window.tree.UserClick(desk.NodeOf(L"kept.ocx"));
    EXPECT_EQ(desk.logic.FilePath(), L"C:\\P\\A\\kept.ocx [File Not Found]");
}

TEST(Limits, PathsPast260CharactersGoThroughScanTreeSaveOpenAndRegistrationWhole) {
    Desk desk;
    std::wstring folder = L"C:\\P";
    while (folder.size() < 300) folder += L"\\folder" + std::to_wstring(folder.size());
    const std::wstring file = folder + L"\\long.dll";
    desk.disk.File(file);
    ASSERT_TRUE(desk.Scan(L"C:\\P"));
    const ObjectRef record = desk.window.tree.Record(desk.NodeOf(L"long.dll"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Path, file);

    desk.window.tree.UserClick(desk.NodeOf(L"long.dll"));
    EXPECT_EQ(desk.logic.FilePath(), file);
    SaveProjectFile(desk.state, desk.disk, desk.logic, L"C:\\P\\long.prw");
    ProjectState reopened;
    OpenProjectFile(reopened, desk.disk, desk.logic, L"C:\\P\\long.prw");
    EXPECT_EQ(reopened.DigColl->FindByPath(file)->Key, record->Key);

    const std::wstring quoted = L"\"" + file + L"\"|" + folder;
    EXPECT_EQ(desk.Register(L"long.dll", 3),
              (std::vector<std::wstring>{L"RegSvr32 /U /S " + quoted, L"RegSvr32 /S " + quoted}));
    EXPECT_EQ(desk.logic.PanelText(kPanelAction),
              L"[Registration failed]: " + file + L" - the file is not a program file");
}

// 100,000 records here; PROWL_LIMIT_FOLDERS=1000 makes it the million-record project (about
// 20 s of processor time under the sanitizers, so not in every run).
TEST(Limits, AProjectOfUpToAMillionRecordsOpensDrawsAndSavesToTheSameBytes) {
    // Folders of 999 files each, as a scan writes them.
    const char* folders = std::getenv("PROWL_LIMIT_FOLDERS");
    const int count = folders ? std::atoi(folders) : 100;
    std::string file = "C:\\P";
    int32_t index = 0;
    for (int folder = 0; folder < count; ++folder) {
        const int32_t parent = ++index;
        const std::string name = "F" + std::to_string(folder);
        file += "\r\n" + std::to_string(parent) + "\tK" + std::to_string(parent) +
                "\t1\t0\tC:\\P\\" + name + "\tK0\t" + name + "\t1\t0";
        for (int f = 0; f < 999; ++f) {
            const std::string i = std::to_string(++index);
            file += "\r\n" + i + "\tK" + i + "\t2\t" + std::to_string(parent) + "\tC:\\P\\" + name +
                    "\\" + i + ".dll\tK" + std::to_string(parent) + "\t" + i + ".dll\t1\t0";
        }
    }
    Desk desk;
    desk.disk.File(L"C:\\P\\big.prw", file);
    ASSERT_TRUE(OpenProjectFile(desk.state, desk.disk, desk.logic, L"C:\\P\\big.prw"));
    desk.logic.ProjectTree().BuildProjectTree(*desk.state.DigColl);
    EXPECT_EQ(desk.window.tree.Count(), count * 1000 + 1);
    desk.window.tree.UserToggleCheck(2);
    EXPECT_EQ(desk.state.DigColl->Item(999)->Included, kFlagOff);
    desk.window.tree.UserToggleCheck(2);
    SaveProjectFile(desk.state, desk.disk, desk.logic, L"C:\\P\\big2.prw");
    EXPECT_TRUE(desk.disk.Bytes(L"C:\\P\\big2.prw") == file);
}

TEST(Limits, MegabytesOfRandomBytesAreRefusedOrOpenAndSaveBackEqual) {
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
