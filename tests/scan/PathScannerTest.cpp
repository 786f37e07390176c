#include <gtest/gtest.h>

#include "scan/PathScanner.h"
#include "support/RecordingStatusSink.h"
#include "support/TempTree.h"
#include "ui/memory/MemoryDisk.h"
#include "win32/FileSystem_win.h"
#include "win32/TextCase_win.h"

namespace prowl {
namespace {

using Strings = std::vector<std::wstring>;

struct Scan {
    ProjectState state;
    MemoryDisk disk;
    test::RecordingStatusSink sink;
    // C:\T holding a.dll and the folders F0, F1 (its DLL one deeper, in sub) and F2.
    Scan() {
        state.ProcessMode = kProcessNewScan;
        for (const wchar_t* name : {L"a.dll", L"F0\\f.dll", L"F1\\sub\\f.dll", L"F2\\f.dll"})
            disk.File(L"C:\\T\\" + std::wstring(name));
    }
    bool Run(const std::wstring& start, FileSystem* fs = nullptr) {
        return PathScanner(state, fs ? *fs : disk, sink).ScanProjectPath(start);
    }
};

// Every record as "Index|Key|NodeType|ParentIndex|Reference|Path|Text", paths after `root`;
// checks on the way the flags of a new record and the project's counts.
Strings Rows(const ProjectState& state, const std::wstring& root = L"") {
    Strings rows;
    int counts[4] = {};
    for (const auto& r : *state.DigColl) {
        rows.push_back(std::to_wstring(r->Index) + L"|" + r->Key + L"|" + r->NodeType + L"|" +
                       std::to_wstring(r->ParentIndex) + L"|" + r->Reference + L"|" +
                       r->Path.substr(root.size()) + L"|" + r->Text);
        ++counts[std::stoi(r->NodeType)];
        EXPECT_TRUE(r->Exists && r->Included == L"1" && r->Expanded == L"0") << rows.back();
    }
    const clsSaveFile& p = *state.SaveFile;
    EXPECT_EQ(std::tuple(p.Folder_Count, p.DLL_Count, p.OCX_Count,
                         p.Folder_Missing + p.DLL_Missing + p.OCX_Missing),
              std::tuple(counts[1], counts[2], counts[3], 0));
    return rows;
}

TEST(Scan, DllAndOcxFilesComeBeforeFoldersAndOnlyFoldersWithThemStayWithoutGapsInUpperCase) {
    // Listed folders first; by the extension after the last dot, in any case. A link is
    // entered unless it leads back up or to a folder a link led to before.
    Scan scan;
    scan.disk.Folder(L"C:\\Apps\\Empty\\sub");
    scan.disk.File(L"C:\\Apps\\B\\notes.txt");
    scan.disk.File(L"C:\\Apps\\Tools\\x.ocx");
    scan.disk.Link(L"C:\\Apps\\Tools\\up", L"C:\\Apps");
    for (const wchar_t* name :
         {L"a.dll", L"readme.txt", L"X.Dll", L"a.b.OCX", L"DLL", L"x.dll.bak", L"ocx.txt"})
        scan.disk.File(L"C:\\Apps\\" + std::wstring(name));
    for (const wchar_t* link : {L"L1", L"L2"})
        scan.disk.Link(L"C:\\Apps\\" + std::wstring(link), L"C:\\T\\F0");
    scan.disk.Link(L"C:\\Apps\\Z", L"C:\\Apps\\Tools");
    EXPECT_TRUE(scan.Run(L"C:\\Apps"));
    EXPECT_EQ(
        Rows(scan.state, L"C:\\Apps"),
        (Strings{L"1|K1|1|0|K0||APPS", L"2|K2|2|1|K1|\\a.dll|a.dll", L"3|K3|2|1|K1|\\X.Dll|X.Dll",
                 L"4|K4|3|1|K1|\\a.b.OCX|a.b.OCX", L"5|K5|2|1|K1|\\DLL|DLL",
                 L"6|K6|1|1|K1|\\Tools|TOOLS", L"7|K7|3|6|K6|\\Tools\\x.ocx|x.ocx",
                 L"8|K8|1|1|K1|\\L1|L1", L"9|K9|2|8|K8|\\L1\\f.dll|f.dll", L"10|K10|1|1|K1|\\Z|Z",
                 L"11|K11|3|10|K10|\\Z\\x.ocx|x.ocx"}));
    const clsSaveFile& p = *scan.state.SaveFile;
    EXPECT_EQ(std::make_tuple(p.Altered, p.StartPath, p.FileName),
              std::make_tuple(true, std::wstring(L"C:\\Apps"), L""));
    const std::wstring in = L"2:Prowling in C:\\Apps";
    EXPECT_EQ(scan.sink.lines,
              (Strings{L"2:Start Prowling in project path C:\\Apps", in, in + L"\\Empty",
                       in + L"\\Empty\\sub", in + L"\\B", in + L"\\Tools", in + L"\\L1",
                       in + L"\\Z", L"2:Finished Prowling."}));
    // Folder labels are the last part in the user's upper case; one rule for every name: a
    // Turkish user's i has a dot, whether the name is ASCII or not.
    EXPECT_EQ(LastPathPart(L"plain", true) + LastPathPart(L"C:\\file\u00e9", true) +
                  LastPathPart(L"Q:\\", true) + LastPathPart(L"\\\\host\\apps\\", true),
              L"PLAINFILE\u00c9Q:APPS");
    EXPECT_EQ(win32::UpperCaseIn(L"tr-TR", L"file\u00e9"), L"F\u0130LE\u00c9");

    // No start folder at all gives an empty project of that start.
    EXPECT_FALSE(scan.Run(L"C:\\gone"));
    EXPECT_EQ(std::make_tuple(Rows(scan.state), scan.state.SaveFile->StartPath),
              std::make_tuple(Strings{}, std::wstring(L"C:\\gone")));
    // A drive and a share mapped in the prefix scan like any folder; a start that ends in a
    // backslash, as their roots do, gives its children two.
    test::TempTree tree;
    tree.File(L"root\\Winnt\\w.dll");
    tree.Map(L"Q:", L"root");
    tree.Map(L"\\\\prowlhost\\apps", L"root");
    win32::Win32FileSystem real;
    for (const auto& [start, text] :
         {std::pair(L"Q:\\", L"Q:"), std::pair(L"\\\\prowlhost\\apps\\", L"APPS")}) {
        EXPECT_TRUE(scan.Run(start, &real));
        EXPECT_EQ(Rows(scan.state, start),
                  (Strings{L"1|K1|1|0|K0||" + std::wstring(text), L"2|K2|1|1|K1|\\Winnt|WINNT",
                           L"3|K3|2|2|K2|\\Winnt\\w.dll|w.dll"}));
    }
}

TEST(Scan, FoldersThatCannotBeListedAreLeftOutWholeAndTheStartIsAnError) {
    for (const auto& [folder, fault] :
         {std::pair(L"F1", MemoryDisk::ListingFault{ListStatus::Failed, 0}),
          std::pair(L"F1\\sub", MemoryDisk::ListingFault{ListStatus::NotFound, 0}),
          std::pair(L"F0", MemoryDisk::ListingFault{ListStatus::Failed, 1})}) {
        SCOPED_TRACE(folder);
        Scan scan;
        const std::wstring path = L"C:\\T\\" + std::wstring(folder);
        scan.disk.listingFaults[path] = fault;
        EXPECT_TRUE(scan.Run(L"C:\\T"));
        for (const auto& row : Rows(scan.state)) EXPECT_EQ(row.find(path), row.npos);
        EXPECT_EQ(scan.state.SaveFile->DLL_Count, 3) << "only that folder's own DLL is left out";
    }
    Scan scan;
    for (const wchar_t* start : {L"C:\\T", L"C:\\T\\a.dll", L"Q:\\Apps"}) {
        SCOPED_TRACE(start);
        scan.disk.listingFaults[L"C:\\T"] = {};
        const ProjectState before = scan.state;
        EXPECT_THROW(scan.Run(start), ProwlError);
        EXPECT_EQ(std::make_tuple(scan.state.DigColl, scan.state.SaveFile),
                  std::make_tuple(before.DigColl, before.SaveFile));
    }
    // A walk of its own counts afresh each time and never into the project, and leaves out
    // what it cannot list below its folder.
    Scan own;
    own.disk.listingFaults[L"C:\\T\\F1"] = {};
    PathScanner scanner(own.state, own.disk, own.sink);
    ItemCollection collection;
    for (int i = 0; i < 2; ++i) scanner.ScanFolder(collection, L"C:\\T", 0);
    EXPECT_EQ(std::pair(scanner.Counts().DLL_Count, own.state.SaveFile->DLL_Count),
              std::pair(3, 0));
}

}  // namespace
}  // namespace prowl
