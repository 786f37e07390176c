#include <gtest/gtest.h>

#include "scan/PathScanner.h"
#include "support/ProjectText.h"
#include "support/RecordingStatusSink.h"
#include "support/TempTree.h"
#include "ui/memory/MemoryDisk.h"
#include "win32/FileSystem_win.h"
#include "win32/TextCase_win.h"

namespace prowl {
namespace {

using Strings = std::vector<std::wstring>;
using test::Describe;

// C:\Apps for the order, the labels and the links; C:\T, holding a.dll and the folders F0 to
// F3 (F1's DLL one deeper, in sub), for listings that fail.
TEST(Scan, FilesComeBeforeFoldersOnlyFoldersWithThemStayAndWhatCannotBeListedIsLeftOut) {
    ProjectState state;
    state.ProcessMode = kProcessNewScan;
    MemoryDisk disk;
    test::RecordingStatusSink sink;
    const auto run = [&](const std::wstring& start, FileSystem& fs) {
        return PathScanner(state, fs, sink).ScanProjectPath(start);
    };
    for (const wchar_t* name :
         {L"a.dll", L"F0\\f.dll", L"F1\\sub\\f.dll", L"F2\\f.dll", L"F3\\f.dll"})
        disk.File(L"C:\\T\\" + std::wstring(name));
    // Listed folders first; by the extension after the last dot, in any case. A link is
    // entered unless it leads back up or to a folder a link led to before.
    for (const wchar_t* name : {L"Empty\\sub\\notes.txt", L"Tools\\x.ocx", L"a.dll", L"readme.txt",
                                L"X.Dll", L"a.b.OCX", L"DLL", L"x.dll.bak", L"ocx.txt"})
        disk.File(L"C:\\Apps\\" + std::wstring(name));
    for (const auto& [link, target] : {std::pair(L"Tools\\up", L"C:\\Apps"),
                                       {L"L1", L"C:\\T\\F0"},
                                       {L"L2", L"C:\\T\\F0"},
                                       {L"Z", L"C:\\Apps\\Tools"}})
        disk.Link(L"C:\\Apps\\" + std::wstring(link), target);
    EXPECT_TRUE(run(L"C:\\Apps", disk));
    EXPECT_EQ(Describe(state, L"C:\\Apps"),
              L"C:\\Apps||altered 4 4 3 0 0 0\n1|K1|1|0||K0|APPS|1|0|exists\n"
              L"2|K2|2|1|\\a.dll|K1|a.dll|1|0|exists\n3|K3|2|1|\\X.Dll|K1|X.Dll|1|0|exists\n"
              L"4|K4|3|1|\\a.b.OCX|K1|a.b.OCX|1|0|exists\n5|K5|2|1|\\DLL|K1|DLL|1|0|exists\n"
              L"6|K6|1|1|\\Tools|K1|TOOLS|1|0|exists\n7|K7|3|6|\\Tools\\x.ocx|K6|x.ocx|1|0|exists\n"
              L"8|K8|1|1|\\L1|K1|L1|1|0|exists\n9|K9|2|8|\\L1\\f.dll|K8|f.dll|1|0|exists\n"
              L"10|K10|1|1|\\Z|K1|Z|1|0|exists\n11|K11|3|10|\\Z\\x.ocx|K10|x.ocx|1|0|exists");
    const std::wstring in = L"2:Prowling in C:\\Apps";
    EXPECT_EQ(sink.lines, (Strings{L"2:Start Prowling in project path C:\\Apps", in,
                                   in + L"\\Empty", in + L"\\Empty\\sub", in + L"\\Tools",
                                   in + L"\\L1", in + L"\\Z", L"2:Finished Prowling."}));
    // Folder labels are in the user's upper case, by one rule for every name: a Turkish user's
    // i has a dot, whether the name is ASCII or not. Drive and share roots are labelled below.
    EXPECT_EQ(LastPathPart(L"C:\\file\u00e9", true) + win32::UpperCaseIn(L"tr-TR", L"file\u00e9"),
              L"FILE\u00c9F\u0130LE\u00c9");

    // No start folder at all gives an empty project of that start.
    EXPECT_FALSE(run(L"C:\\gone", disk));
    EXPECT_EQ(Describe(state), L"C:\\gone||altered 0 0 0 0 0 0");
    // A drive and a share mapped in the prefix scan like any folder; a start that ends in a
    // backslash, as their roots do, gives its children two.
    test::TempTree tree;
    tree.File(L"root\\Winnt\\w.dll");
    tree.Map(L"Q:", L"root");
    tree.Map(L"\\\\prowlhost\\apps", L"root");
    win32::Win32FileSystem real;
    for (const auto& [start, text] :
         {std::pair(L"Q:\\", L"Q:"), std::pair(L"\\\\prowlhost\\apps\\", L"APPS")}) {
        EXPECT_TRUE(run(start, real));
        EXPECT_EQ(Describe(state, start), std::wstring(start) +
                                              L"||altered 2 1 0 0 0 0\n1|K1|1|0||K0|" + text +
                                              L"|1|0|exists\n2|K2|1|1|\\Winnt|K1|WINNT|1|0|exists\n"
                                              L"3|K3|2|2|\\Winnt\\w.dll|K2|w.dll|1|0|exists");
    }

    // Whether the listing fails at once, part-way or because the folder is gone; the walk goes
    // on with the next folder and the indexes close up.
    disk.listingFaults = {{L"C:\\T\\F0", {ListStatus::Failed, 1}},
                          {L"C:\\T\\F1\\sub", {ListStatus::NotFound, 0}},
                          {L"C:\\T\\F2", {}}};
    EXPECT_TRUE(run(L"C:\\T", disk));
    EXPECT_EQ(
        Describe(state, L"C:\\T"),
        L"C:\\T||altered 2 2 0 0 0 0\n1|K1|1|0||K0|T|1|0|exists\n2|K2|2|1|\\a.dll|K1|a.dll|1|0|"
        L"exists\n3|K3|1|1|\\F3|K1|F3|1|0|exists\n4|K4|2|3|\\F3\\f.dll|K3|f.dll|1|0|exists");
    // A walk of its own counts afresh each time and never into the project, and leaves out the
    // same.
    ProjectState own;
    own.ProcessMode = kProcessNewScan;
    PathScanner scanner(own, disk, sink);
    ItemCollection collection;
    for (int i = 0; i < 2; ++i) scanner.ScanFolder(collection, L"C:\\T", 0);
    EXPECT_EQ(std::pair(scanner.Counts().DLL_Count, own.SaveFile->DLL_Count), std::pair(2, 0));

    // A start that cannot be walked changes nothing: it fails to list, is a file, or has no
    // drive.
    disk.listingFaults[L"C:\\T"] = {};
    for (const wchar_t* start : {L"C:\\T", L"C:\\T\\a.dll", L"Q:\\Apps"}) {
        SCOPED_TRACE(start);
        const ProjectState before = state;
        EXPECT_THROW(run(start, disk), ProwlError);
        EXPECT_EQ(std::make_tuple(state.DigColl, state.SaveFile),
                  std::make_tuple(before.DigColl, before.SaveFile));
    }
}

}  // namespace
}  // namespace prowl
