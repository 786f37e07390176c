#include <gtest/gtest.h>
#include <windows.h>

#include <set>

#include "scan/PathScanner.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingStatusSink.h"
#include "support/TempTree.h"
#include "win32/TextCase_win.h"

namespace prowl {
namespace {

using test::TempTree;
using Strings = std::vector<std::wstring>;

struct Scan {
    ProjectState state;
    test::FaultyFileSystem fs;
    test::RecordingStatusSink sink;
    explicit Scan(int16_t mode = kProcessNewScan) { state.ProcessMode = mode; }
    bool Run(const std::wstring& start) {
        return PathScanner(state, fs, sink).ScanProjectPath(start);
    }
    int Visits() const {
        return static_cast<int>(std::count_if(sink.lines.begin(), sink.lines.end(), [](auto& l) {
            return l.rfind(L"2:Prowling in ", 0) == 0;
        }));
    }
};

// Every record as "Index|Key|NodeType|ParentIndex|Reference|Path|Text", paths after `root`.
// Checks on the way what every completed scan must give: keys, references and flags as made
// new, each parent an earlier folder holding the path, no folder without a DLL or OCX beneath
// it, counts that match.
Strings Rows(const ProjectState& state, const std::wstring& root = L"") {
    const ItemCollection& items = *state.DigColl;
    Strings rows;
    int counts[4] = {};
    std::set<int32_t> parents;
    for (const auto& r : items) {
        const auto pos = static_cast<int32_t>(rows.size()) + 1;
        rows.push_back(std::to_wstring(r->Index) + L"|" + r->Key + L"|" + r->NodeType + L"|" +
                       std::to_wstring(r->ParentIndex) + L"|" + r->Reference + L"|" +
                       r->Path.substr(root.size()) + L"|" + r->Text);
        ++counts[std::stoi(r->NodeType)];
        parents.insert(r->ParentIndex);
        const clsObject* parent = pos > 1 ? items.Item(r->ParentIndex).get() : nullptr;
        EXPECT_TRUE(r->Index == pos && r->Key == MakeKey(pos) &&
                    r->Reference == MakeKey(r->ParentIndex) && r->Exists && r->Included == L"1" &&
                    r->Expanded == L"0" &&
                    (!parent || (r->ParentIndex < pos && parent->NodeType == kNodeFolder &&
                                 r->Path.rfind(parent->Path + L"\\", 0) == 0)))
            << rows.back();
    }
    for (const auto& r : items)
        EXPECT_TRUE(r->NodeType != kNodeFolder || parents.count(r->Index)) << r->Path;
    const clsSaveFile& p = *state.SaveFile;
    EXPECT_EQ(std::tuple(p.Folder_Count, p.DLL_Count, p.OCX_Count,
                         p.Folder_Missing + p.DLL_Missing + p.OCX_Missing),
              std::tuple(counts[1], counts[2], counts[3], 0));
    return rows;
}

TEST(ScanResult, WorkedExampleGivesExactRecordsCountsAndStatusTexts) {
    TempTree tree;
    for (const wchar_t* name : {L"Apps\\a.dll", L"Apps\\readme.txt", L"Apps\\Tools\\x.ocx"})
        tree.File(name);
    tree.Folder(L"Apps\\Empty");
    const std::wstring apps = tree.Path(L"Apps");
    Scan scan;
    EXPECT_TRUE(scan.Run(apps));
    EXPECT_EQ(Rows(scan.state, apps),
              (Strings{L"1|K1|1|0|K0||APPS", L"2|K2|2|1|K1|\\a.dll|a.dll",
                       L"3|K3|1|1|K1|\\Tools|TOOLS", L"4|K4|3|3|K3|\\Tools\\x.ocx|x.ocx"}));
    const clsSaveFile& p = *scan.state.SaveFile;
    EXPECT_EQ(std::make_tuple(p.Altered, p.StartPath, p.FileName),
              std::make_tuple(true, apps, L""));
    EXPECT_EQ(scan.sink.lines,
              (Strings{L"2:Start Prowling in project path " + apps, L"2:Prowling in " + apps,
                       L"2:Prowling in " + apps + L"\\Empty", L"2:Prowling in " + apps + L"\\Tools",
                       L"2:Finished Prowling."}));
}

TEST(ScanResult, DrivesAndSharesScanLikeAnyFolder) {
    TempTree tree;
    tree.File(L"root\\Winnt\\w.dll");
    tree.File(L"root\\Program Files\\p.ocx");
    tree.Map(L"Q:", L"root");
    tree.Map(L"\\\\prowlhost\\apps", L"root");
    Strings beneath;  // what lies beneath the start, whichever way it is reached
    // A drive root's children get two backslashes after the colon, as any "\\" start's do.
    for (const auto& [start, text] :
         {std::make_pair(tree.Path(L"root"), L"ROOT"), std::make_pair(std::wstring(L"Q:\\"), L"Q:"),
          std::make_pair(std::wstring(L"\\\\prowlhost\\apps"), L"APPS"),
          std::make_pair(std::wstring(L"\\\\prowlhost\\apps\\"), L"APPS")}) {
        Scan scan;
        EXPECT_TRUE(scan.Run(start));
        Strings rows = Rows(scan.state, start);
        EXPECT_EQ(rows.at(0), L"1|K1|1|0|K0||" + std::wstring(text));
        rows.erase(rows.begin());
        if (beneath.empty()) beneath = rows;
        EXPECT_EQ(rows, beneath) << start;
    }
    EXPECT_EQ(beneath,
              (Strings{L"2|K2|1|1|K1|\\Program Files|PROGRAM FILES",
                       L"3|K3|3|2|K2|\\Program Files\\p.ocx|p.ocx", L"4|K4|1|1|K1|\\Winnt|WINNT",
                       L"5|K5|2|4|K4|\\Winnt\\w.dll|w.dll"}));
}

TEST(ScanResult, VisibleDllAndOcxFilesComeFirstAndOnlyFoldersWithThemStayWithoutGaps) {
    // By the extension after the last dot, in any case; hidden and system entries are not
    // seen; the listing gives the folders A and B (empty, removed) before the files.
    TempTree tree;
    for (const wchar_t* name :
         {L"X.Dll", L"a.b.OCX", L"DLL", L"x.dll.bak", L"ocx.txt", L"hid.dll", L"sys.ocx", L"ro.ocx",
          L".dotted.dll", L"Hid\\in.dll", L"Sys\\in.dll", L"B\\notes.txt", L"C\\one\\deep.dll"})
        tree.File(std::wstring(L"c\\") + name);
    tree.Folder(L"c\\A\\empty");
    for (const auto& [name, attributes] :
         {std::pair(L"c\\hid.dll", FILE_ATTRIBUTE_HIDDEN),
          std::pair(L"c\\sys.ocx", FILE_ATTRIBUTE_SYSTEM),
          std::pair(L"c\\ro.ocx", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE),
          std::pair(L"c\\Hid", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN),
          std::pair(L"c\\Sys", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM)})
        tree.SetAttributes(name, attributes);
    Scan scan;
    EXPECT_TRUE(scan.Run(tree.Path(L"c")));
    EXPECT_EQ(
        Rows(scan.state, tree.Path(L"c")),
        (Strings{L"1|K1|1|0|K0||C", L"2|K2|3|1|K1|\\a.b.OCX|a.b.OCX", L"3|K3|2|1|K1|\\DLL|DLL",
                 L"4|K4|3|1|K1|\\ro.ocx|ro.ocx", L"5|K5|2|1|K1|\\X.Dll|X.Dll", L"6|K6|1|1|K1|\\C|C",
                 L"7|K7|1|6|K6|\\C\\one|ONE", L"8|K8|2|7|K7|\\C\\one\\deep.dll|deep.dll"}));
}

TEST(ScanResult, NothingFoundGivesAnEmptyProjectAndPathsBeyondMaxPathAreWalked) {
    TempTree tree;
    tree.File(L"none\\readme.txt");
    tree.Folder(L"none\\sub");
    for (const std::wstring& start : {tree.Path(L"none"), tree.Path(L"no longer there")}) {
        Scan scan;
        EXPECT_FALSE(scan.Run(start));
        EXPECT_EQ(std::make_tuple(Rows(scan.state), scan.state.SaveFile->StartPath),
                  std::make_tuple(Strings{}, start));
        EXPECT_EQ(scan.sink.lines.back(), L"2:Finished Prowling.");
    }
    std::wstring deep = L"deep";  // past MAX_PATH, whatever the length of the root
    for (int level = 0; level < 40; ++level) deep += L"\\level" + std::to_wstring(level % 10);
    tree.File(deep + L"\\bottom.dll");
    Scan scan;
    EXPECT_TRUE(scan.Run(tree.Path(L"deep")));
    EXPECT_EQ(Rows(scan.state).back(),
              L"42|K42|2|41|K41|" + tree.Path(deep) + L"\\bottom.dll|bottom.dll");
}

TEST(ScanLinks, ALinkedFolderIsEnteredOnceAndNeverBackUpTheTree) {
    TempTree tree;
    tree.File(L"r\\A\\a.dll");
    tree.File(L"r\\B\\b.ocx");
    tree.File(L"out\\one\\two\\x.dll");
    for (const auto& [link, target] :
         {std::make_pair(L"r\\A\\up", L"r"), std::make_pair(L"r\\A\\self", L"r\\A"),  // cycles
          std::make_pair(L"r\\C", L"r\\B"),  // a link to a sibling is an ordinary folder to us
          // Links that fan out to the same folders, level after level.
          std::make_pair(L"r\\D1", L"out\\one"), std::make_pair(L"r\\D2", L"out\\one"),
          std::make_pair(L"out\\one\\E1", L"out\\one\\two"),
          std::make_pair(L"out\\one\\E2", L"out\\one\\two")})
        tree.Link(link, target);
    Scan scan;
    EXPECT_TRUE(scan.Run(tree.Path(L"r")));
    EXPECT_EQ(Rows(scan.state, tree.Path(L"r")),
              (Strings{L"1|K1|1|0|K0||R", L"2|K2|1|1|K1|\\A|A", L"3|K3|2|2|K2|\\A\\a.dll|a.dll",
                       L"4|K4|1|1|K1|\\B|B", L"5|K5|3|4|K4|\\B\\b.ocx|b.ocx", L"6|K6|1|1|K1|\\C|C",
                       L"7|K7|3|6|K6|\\C\\b.ocx|b.ocx", L"8|K8|1|1|K1|\\D1|D1",
                       L"9|K9|1|8|K8|\\D1\\E1|E1", L"10|K10|2|9|K9|\\D1\\E1\\x.dll|x.dll",
                       L"11|K11|1|8|K8|\\D1\\two|TWO", L"12|K12|2|11|K11|\\D1\\two\\x.dll|x.dll"}));
    EXPECT_EQ(scan.Visits(), 7) << "D2 and E2 are not entered";
}

// Ten folders holding one DLL each; returns their paths, the start first.
Strings TenFolders(TempTree& tree) {
    Strings folders{tree.Path(L"ten")};
    tree.File(L"ten\\root.dll");
    for (int i = 0; i < 9; ++i) {
        const std::wstring rel = L"ten\\F" + std::to_wstring(i);
        tree.File(rel + (i % 2 ? L"\\sub\\f.dll" : L"\\f.dll"));
        folders.push_back(tree.Path(rel));
        if (i % 2) folders.push_back(tree.Path(rel + L"\\sub"));
    }
    return folders;
}

TEST(ScanStop, AStopLeavesWhateverTheStopCommandInstalledUntouched) {
    TempTree tree;
    TenFolders(tree);
    Scan scan;
    scan.Run(tree.Path(L"ten"));
    const ProjectState old = scan.state;
    const Strings oldRows = Rows(old);
    // Stopped at the k-th folder (0: as the scan starts) as Stop does it for each mode: a new
    // scan gets an empty project, a re-scan the project it put aside.
    for (const int16_t mode : {kProcessNewScan, kProcessRescan}) {
        for (int k : {0, 1, 5, 14}) {
            SCOPED_TRACE(std::to_wstring(mode) + L" at " + std::to_wstring(k));
            const bool rescan = mode == kProcessRescan;
            scan.state = old;
            scan.state.ProcessMode = mode;
            scan.sink.lines.clear();
            scan.sink.onEvents = [&, k](const std::wstring&) {
                if (scan.state.ProcessMode == kProcessIdle || scan.Visits() != k) return;
                scan.state.DigColl = rescan ? old.DigColl : std::make_shared<ItemCollection>();
                scan.state.SaveFile = rescan ? old.SaveFile : std::make_shared<clsSaveFile>();
                scan.state.ProcessMode = kProcessIdle;
            };
            EXPECT_FALSE(scan.Run(tree.Path(L"ten")));
            EXPECT_EQ(scan.Visits(), k);
            EXPECT_EQ(scan.state.DigColl == old.DigColl, rescan);
            EXPECT_EQ(Rows(scan.state), rescan ? oldRows : Strings{});
        }
    }
}

TEST(ScanFaults, FoldersThatCannotBeListedAreLeftOutWholeAndTheStartIsAnError) {
    TempTree tree;
    const Strings folders = TenFolders(tree);
    for (const auto& fault : {test::FaultyFileSystem::ListingFault{ListStatus::Failed, 0},
                              {ListStatus::NotFound, 0},
                              {ListStatus::Failed, 1}}) {
        for (std::size_t i = 1; i < folders.size(); ++i) {
            SCOPED_TRACE(folders[i] + L" after " + std::to_wstring(fault.entriesBefore));
            Scan scan;
            scan.fs.listingFaults[folders[i]] = fault;
            EXPECT_TRUE(scan.Run(folders[0]));
            for (const auto& row : Rows(scan.state)) EXPECT_EQ(row.find(folders[i]), row.npos);
            EXPECT_EQ(scan.state.SaveFile->DLL_Count, 9)
                << "only that folder's own DLL is left out";
        }
    }
    // ScanFolder on its own counts into a fresh record each time, never the project's.
    Scan scan;
    scan.fs.listingFaults[folders[1]] = {};
    PathScanner scanner(scan.state, scan.fs, scan.sink);
    for (int32_t parent : {0, 7}) {
        ItemCollection items;
        EXPECT_TRUE(scanner.ScanFolder(items, folders[0], parent));
        EXPECT_EQ(std::tuple(items.Item(1)->ParentIndex, scanner.Counts().Folder_Count,
                             scanner.Counts().DLL_Count, scan.state.SaveFile->DLL_Count),
                  std::tuple(parent, 13, 9, 0));
    }
    tree.File(L"file.dll");
    const std::wstring missingDrive = std::wstring(1, test::UnusedDriveLetter()) + L":\\Apps";
    for (const std::wstring& start : {folders[0], tree.Path(L"file.dll"), missingDrive}) {
        SCOPED_TRACE(start);
        Scan scan;
        scan.fs.listingFaults[folders[0]] = {};
        const ProjectState before = scan.state;
        try {
            scan.Run(start);
            ADD_FAILURE() << "no error";
        } catch (const ProwlError& e) {
            EXPECT_EQ(e.message().find(L"System error"), std::wstring::npos) << "the system's text";
        }
        EXPECT_EQ(std::make_tuple(scan.state.DigColl, scan.state.SaveFile),
                  std::make_tuple(before.DigColl, before.SaveFile));
    }
}

TEST(ScanNames, FolderLabelsAreTheLastPartInTheUsersUpperCase) {
    for (const auto& [path, label] :
         {std::make_pair(L"C:\\", L"C:"), std::make_pair(L"C:\\Apps\\", L"APPS"),
          std::make_pair(L"C:\\Program Files\\Common Files", L"COMMON FILES"),
          std::make_pair(L"C:\\\\Winnt", L"WINNT"), std::make_pair(L"plain", L"PLAIN"),
          std::make_pair(L"C:\\file\u00e9", L"FILE\u00c9")})
        EXPECT_EQ(LastPathPart(path, true), label);
    EXPECT_EQ(LastPathPart(L"C:\\Apps\\", false), L"Apps");
    // One rule for every name: a Turkish user's i has a dot, whether the name is ASCII or not.
    EXPECT_EQ(win32::UpperCaseIn(L"tr-TR", L"file"), L"F\u0130LE");
    EXPECT_EQ(win32::UpperCaseIn(L"tr-TR", L"file\u00e9"), L"F\u0130LE\u00c9");
}

}  // namespace
}  // namespace prowl
