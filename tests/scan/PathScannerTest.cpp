#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <set>

#include "model/ProwlError.h"
#include "scan/PathScanner.h"
#include "support/TempTree.h"
#include "win32/FileSystem_win.h"

namespace prowl {
namespace {

using test::TempTree;
using ::testing::ElementsAre;

class RecordingSink : public StatusSink {
  public:
    void StatusBar_Update(int32_t index, const std::wstring& text) override {
        if (index == kPanelAction) texts.push_back(text);
        if (onUpdate) onUpdate(text);
    }
    void ProgressBar_Show(bool, int32_t) override { ++progressCalls; }
    void ProgressBar_Increment(int32_t) override { ++progressCalls; }

    int Count(const std::wstring& prefix) const {
        int n = 0;
        for (const auto& t : texts) n += t.rfind(prefix, 0) == 0;
        return n;
    }
    std::vector<std::wstring> texts;
    std::function<void(const std::wstring&)> onUpdate;
    int progressCalls = 0;
};

// The real file system with listing failures injected for chosen folders.
class FaultyFileSystem : public win32::Win32FileSystem {
  public:
    ListStatus ListFolder(const std::wstring& folder, std::vector<DirEntry>& entries,
                          std::wstring* error) override {
        auto it = faults.find(folder);
        if (it == faults.end()) return Win32FileSystem::ListFolder(folder, entries, error);
        entries.clear();
        if (error) *error = L"Access denied.";
        return it->second;
    }
    std::map<std::wstring, ListStatus> faults;
};

struct Scan {
    ProjectState state;
    win32::Win32FileSystem fs;
    RecordingSink sink;
    Scan() { state.ProcessMode = kProcessNewScan; }
    bool Run(const std::wstring& start, FileSystem* other = nullptr) {
        PathScanner scanner(state, other ? *other : fs, sink);
        return scanner.ScanProjectPath(start);
    }
};

// What every completed scan must give, whatever the tree looked like.
void ExpectScanInvariants(const ItemCollection& items, const clsSaveFile& project) {
    int folders = 0, dlls = 0, ocxs = 0;
    std::set<std::wstring> keys;
    std::vector<bool> hasFileBeneath(static_cast<std::size_t>(items.Count()) + 1, false);
    for (int32_t pos = 1; pos <= items.Count(); ++pos) {
        const clsObject& r = *items.Item(pos);
        SCOPED_TRACE(r.Path);
        EXPECT_EQ(r.Index, pos);
        EXPECT_EQ(r.Key, MakeKey(pos));
        EXPECT_TRUE(keys.insert(r.Key).second);
        EXPECT_EQ(r.Reference, MakeKey(r.ParentIndex));
        if (pos == 1) {
            EXPECT_EQ(r.ParentIndex, 0);
        } else {
            ASSERT_GE(r.ParentIndex, 1);
            ASSERT_LT(r.ParentIndex, pos);
            const clsObject& parent = *items.Item(r.ParentIndex);
            EXPECT_EQ(parent.NodeType, kNodeFolder);
            EXPECT_EQ(r.Path.rfind(parent.Path + L"\\", 0), 0u);
        }
        EXPECT_TRUE(r.Exists);
        EXPECT_EQ(r.Included, L"1");
        EXPECT_EQ(r.Expanded, L"0");
        if (r.NodeType == kNodeFolder) ++folders;
        if (r.NodeType == kNodeDll) ++dlls;
        if (r.NodeType == kNodeOcx) ++ocxs;
    }
    // A kept folder has a DLL or OCX somewhere beneath it.
    for (int32_t pos = items.Count(); pos >= 1; --pos) {
        const clsObject& r = *items.Item(pos);
        const bool mine =
            r.NodeType != kNodeFolder || hasFileBeneath[static_cast<std::size_t>(pos)];
        if (r.NodeType == kNodeFolder) {
            EXPECT_TRUE(mine) << r.Path;
        }
        if (mine && r.ParentIndex > 0)
            hasFileBeneath[static_cast<std::size_t>(r.ParentIndex)] = true;
    }
    EXPECT_EQ(project.Folder_Count, folders);
    EXPECT_EQ(project.DLL_Count, dlls);
    EXPECT_EQ(project.OCX_Count, ocxs);
    EXPECT_EQ(project.Folder_Missing + project.DLL_Missing + project.OCX_Missing, 0);
}

std::vector<std::wstring> Rows(const ItemCollection& items) {
    std::vector<std::wstring> rows;
    for (const auto& r : items)
        rows.push_back(std::to_wstring(r->Index) + L"|" + r->Key + L"|" + r->NodeType + L"|" +
                       std::to_wstring(r->ParentIndex) + L"|" + r->Reference + L"|" + r->Path +
                       L"|" + r->Text);
    return rows;
}

TEST(ScanResult, WorkedExampleGivesExactRecordsCountsAndStatusTexts) {
    TempTree tree;
    tree.File(L"Apps\\a.dll");
    tree.File(L"Apps\\readme.txt");
    tree.Folder(L"Apps\\Empty");
    tree.File(L"Apps\\Tools\\x.ocx");
    const std::wstring apps = tree.Path(L"Apps");

    Scan scan;
    EXPECT_TRUE(scan.Run(apps));
    EXPECT_THAT(
        Rows(*scan.state.DigColl),
        ElementsAre(L"1|K1|1|0|K0|" + apps + L"|APPS", L"2|K2|2|1|K1|" + apps + L"\\a.dll|a.dll",
                    L"3|K3|1|1|K1|" + apps + L"\\Tools|TOOLS",
                    L"4|K4|3|3|K3|" + apps + L"\\Tools\\x.ocx|x.ocx"));
    const clsSaveFile& p = *scan.state.SaveFile;
    EXPECT_EQ(p.Folder_Count, 2);
    EXPECT_EQ(p.DLL_Count, 1);
    EXPECT_EQ(p.OCX_Count, 1);
    EXPECT_TRUE(p.Altered);
    EXPECT_EQ(p.StartPath, apps);
    EXPECT_EQ(p.FileName, L"");
    ExpectScanInvariants(*scan.state.DigColl, p);
    EXPECT_THAT(scan.sink.texts,
                ElementsAre(L"Start Prowling in project path " + apps, L"Prowling in " + apps,
                            L"Prowling in " + apps + L"\\Empty",
                            L"Prowling in " + apps + L"\\Tools", L"Finished Prowling."));
    EXPECT_EQ(scan.sink.progressCalls, 0);
}

TEST(ScanResult, DriveRootKeepsTwoBackslashesAfterTheColon) {
    TempTree tree;
    tree.File(L"root\\Winnt\\w.dll");
    tree.File(L"root\\Program Files\\p.ocx");
    tree.MapDrive(L'Q', L"root");

    Scan scan;
    EXPECT_TRUE(scan.Run(L"Q:\\"));
    const ItemCollection& items = *scan.state.DigColl;
    ASSERT_EQ(items.Count(), 5);
    EXPECT_EQ(items.Item(1)->Path, L"Q:\\");
    EXPECT_EQ(items.Item(1)->Text, L"Q:");
    EXPECT_EQ(items.Item(2)->Path, L"Q:\\\\Program Files");
    EXPECT_EQ(items.Item(2)->Text, L"PROGRAM FILES");
    EXPECT_EQ(items.Item(3)->Path, L"Q:\\\\Program Files\\p.ocx");
    EXPECT_EQ(items.Item(4)->Path, L"Q:\\\\Winnt");
    EXPECT_EQ(items.Item(4)->Text, L"WINNT");
    ExpectScanInvariants(items, *scan.state.SaveFile);
}

TEST(ScanResult, HiddenAndSystemEntriesAreNotFound) {
    TempTree tree;
    tree.File(L"s\\plain.dll");
    tree.File(L"s\\hidden.dll");
    tree.SetAttributes(L"s\\hidden.dll", FILE_ATTRIBUTE_HIDDEN);
    tree.File(L"s\\system.ocx");
    tree.SetAttributes(L"s\\system.ocx", FILE_ATTRIBUTE_SYSTEM);
    tree.File(L"s\\readonly.ocx");
    tree.SetAttributes(L"s\\readonly.ocx", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    tree.File(L"s\\.dotted.dll");  // Unix dot-files are hidden under Wine
    tree.File(L"s\\HiddenFolder\\in.dll");
    tree.SetAttributes(L"s\\HiddenFolder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    tree.File(L"s\\SystemFolder\\in.dll");
    tree.SetAttributes(L"s\\SystemFolder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM);

    Scan scan;
    EXPECT_TRUE(scan.Run(tree.Path(L"s")));
    std::vector<std::wstring> names;
    for (const auto& r : *scan.state.DigColl) names.push_back(r->Text);
    EXPECT_THAT(names, ElementsAre(L"S", L"plain.dll", L"readonly.ocx"));
}

TEST(ScanResult, ClassifiesByTheExtensionAfterTheLastDotInAnyCase) {
    TempTree tree;
    for (const wchar_t* name : {L"X.Dll", L"a.b.OCX", L"DLL", L"x.dll.bak", L"ocx.txt", L"plain"})
        tree.File(std::wstring(L"c\\") + name);

    Scan scan;
    EXPECT_TRUE(scan.Run(tree.Path(L"c")));
    std::map<std::wstring, std::wstring> types;
    for (const auto& r : *scan.state.DigColl)
        if (r->NodeType != kNodeFolder) types[r->Text] = r->NodeType;
    EXPECT_EQ(types, (std::map<std::wstring, std::wstring>{
                         {L"X.Dll", L"2"}, {L"a.b.OCX", L"3"}, {L"DLL", L"2"}}));
    EXPECT_EQ(scan.state.SaveFile->DLL_Count, 2);
    EXPECT_EQ(scan.state.SaveFile->OCX_Count, 1);
}

TEST(ScanResult, KeepsIntermediateFoldersAndLeavesNoGapsWhereEmptyFoldersWere) {
    TempTree tree;
    tree.Folder(L"t\\A0empty");
    tree.Folder(L"t\\B\\nested\\empty");
    tree.File(L"t\\B\\notes.txt");
    tree.File(L"t\\C\\one\\two\\deep.dll");
    tree.Folder(L"t\\D\\empty");
    tree.File(L"t\\E\\e.ocx");

    Scan scan;
    EXPECT_TRUE(scan.Run(tree.Path(L"t")));
    const ItemCollection& items = *scan.state.DigColl;
    std::vector<std::wstring> texts;
    for (const auto& r : items) texts.push_back(r->Text);
    EXPECT_THAT(texts, ElementsAre(L"T", L"C", L"ONE", L"TWO", L"deep.dll", L"E", L"e.ocx"));
    ExpectScanInvariants(items, *scan.state.SaveFile);
    EXPECT_EQ(scan.state.SaveFile->Folder_Count, 5);
}

TEST(ScanResult, NothingFoundGivesAnEmptyProject) {
    TempTree tree;
    tree.File(L"none\\readme.txt");
    tree.Folder(L"none\\sub");

    for (const std::wstring& start : {tree.Path(L"none"), tree.Path(L"no longer there")}) {
        Scan scan;
        EXPECT_FALSE(scan.Run(start));
        EXPECT_EQ(scan.state.DigColl->Count(), 0);
        EXPECT_EQ(scan.state.SaveFile->StartPath, start);
        EXPECT_TRUE(scan.state.SaveFile->Altered);
        ExpectScanInvariants(*scan.state.DigColl, *scan.state.SaveFile);
        EXPECT_EQ(scan.sink.texts.back(), L"Finished Prowling.");
    }
}

TEST(ScanResult, VeryDeepTreesAndLongPathsAreScannedLikeAnyOther) {
    TempTree tree;
    std::wstring relative = L"deep";
    for (int level = 0; level < 300; ++level) relative += L"\\level" + std::to_wstring(level % 10);
    tree.File(relative + L"\\bottom.dll");

    Scan scan;
    EXPECT_TRUE(scan.Run(tree.Path(L"deep")));
    const ItemCollection& items = *scan.state.DigColl;
    ASSERT_EQ(items.Count(), 302);
    EXPECT_EQ(items.Item(302)->Path, tree.Path(relative + L"\\bottom.dll"));
    EXPECT_GT(items.Item(302)->Path.size(), 2000u);
    ExpectScanInvariants(items, *scan.state.SaveFile);
}

TEST(ScanLinks, ALinkBackToAnAncestorIsNotEnteredButOtherLinksAre) {
    TempTree tree;
    tree.File(L"r\\A\\a.dll");
    tree.Link(L"r\\A\\up", L"r");       // a cycle through the start folder
    tree.Link(L"r\\A\\self", L"r\\A");  // and through the folder itself
    tree.File(L"r\\B\\b.ocx");
    tree.Link(L"r\\C", L"r\\B");  // a link to a sibling is an ordinary folder to us

    Scan scan;
    EXPECT_TRUE(scan.Run(tree.Path(L"r")));
    std::vector<std::wstring> paths;
    for (const auto& r : *scan.state.DigColl) paths.push_back(r->Path.substr(tree.Root().size()));
    EXPECT_THAT(paths, ElementsAre(L"\\r", L"\\r\\A", L"\\r\\A\\a.dll", L"\\r\\B", L"\\r\\B\\b.ocx",
                                   L"\\r\\C", L"\\r\\C\\b.ocx"));
    ExpectScanInvariants(*scan.state.DigColl, *scan.state.SaveFile);
}

// Builds a tree with ten folders, each holding one DLL.
std::vector<std::wstring> TenFolders(TempTree& tree) {
    std::vector<std::wstring> folders{tree.Path(L"ten")};
    tree.File(L"ten\\root.dll");
    for (int i = 0; i < 9; ++i) {
        const std::wstring rel = L"ten\\F" + std::to_wstring(i) + (i % 2 ? L"\\sub" : L"");
        tree.File(rel + L"\\f.dll");
        if (i % 2) folders.push_back(tree.Path(L"ten\\F" + std::to_wstring(i)));
        folders.push_back(tree.Path(rel));
    }
    return folders;
}

TEST(ScanStop, StopDuringANewScanLeavesTheEmptyProjectThatStopInstalled) {
    TempTree tree;
    const auto folders = TenFolders(tree);
    for (int k = 1; k <= static_cast<int>(folders.size()); k += 3) {
        SCOPED_TRACE(k);
        Scan scan;
        CollectionRef installed;
        int seen = 0;
        scan.sink.onUpdate = [&](const std::wstring& text) {
            if (text.rfind(L"Prowling in ", 0) != 0 || ++seen != k) return;
            scan.state.SaveFile = std::make_shared<clsSaveFile>();  // what Stop does in mode 1
            installed = scan.state.DigColl = std::make_shared<ItemCollection>();
            scan.state.ProcessMode = kProcessIdle;
        };
        EXPECT_FALSE(scan.Run(tree.Path(L"ten")));
        EXPECT_EQ(scan.sink.Count(L"Prowling in "), k);
        EXPECT_EQ(scan.sink.texts.back(), L"Finished Prowling.");
        EXPECT_EQ(scan.state.DigColl, installed);
        EXPECT_EQ(scan.state.DigColl->Count(), 0);
        EXPECT_EQ(scan.state.SaveFile->DLL_Count + scan.state.SaveFile->Folder_Count, 0);
    }
}

TEST(ScanStop, StopDuringARescanLeavesTheRestoredProjectUntouched) {
    TempTree tree;
    TenFolders(tree);
    Scan scan;
    scan.Run(tree.Path(L"ten"));
    const CollectionRef old = scan.state.DigColl;
    const SaveFileRef oldRecord = scan.state.SaveFile;
    const auto oldRows = Rows(*old);
    const clsSaveFile oldCounts = *oldRecord;

    for (int k : {1, 2, 5, 10}) {
        scan.state.PreDigColl = old;
        scan.state.PreSaveFile = oldRecord;
        scan.state.ProcessMode = kProcessRescan;
        int seen = 0;
        scan.sink.onUpdate = [&](const std::wstring& text) {
            if (text.rfind(L"Prowling in ", 0) != 0 || ++seen != k) return;
            scan.state.DigColl = scan.state.PreDigColl;
            scan.state.SaveFile = scan.state.PreSaveFile;
            scan.state.ProcessMode = kProcessIdle;
        };
        EXPECT_FALSE(scan.Run(tree.Path(L"ten")));
        EXPECT_EQ(scan.state.DigColl, old);
        EXPECT_EQ(scan.state.SaveFile, oldRecord);
        EXPECT_EQ(Rows(*old), oldRows);
        EXPECT_EQ(oldRecord->DLL_Count, oldCounts.DLL_Count);
        EXPECT_EQ(oldRecord->Folder_Count, oldCounts.Folder_Count);
    }
}

TEST(ScanStop, AScanThatSeesNoProcessReturnsAtOnceAndChangesNothing) {
    TempTree tree;
    TenFolders(tree);
    Scan scan;
    scan.state.ProcessMode = kProcessIdle;
    const CollectionRef before = scan.state.DigColl;
    EXPECT_FALSE(scan.Run(tree.Path(L"ten")));
    EXPECT_EQ(scan.sink.Count(L"Prowling in "), 0);
    EXPECT_EQ(scan.state.DigColl, before);
}

TEST(ScanFaults, FoldersThatCannotBeListedAreLeftOutWhole) {
    TempTree tree;
    const auto folders = TenFolders(tree);
    for (ListStatus fault : {ListStatus::Failed, ListStatus::NotFound}) {
        for (std::size_t i = 1; i < folders.size(); ++i) {
            SCOPED_TRACE(folders[i]);
            FaultyFileSystem fs;
            fs.faults[folders[i]] = fault;
            Scan scan;
            EXPECT_TRUE(scan.Run(folders[0], &fs));
            const ItemCollection& items = *scan.state.DigColl;
            ExpectScanInvariants(items, *scan.state.SaveFile);
            for (const auto& r : items) EXPECT_NE(r->Path.rfind(folders[i] + L"\\", 0), 0u);
            EXPECT_EQ(items.FindByPath(folders[i]), nullptr);
            EXPECT_GE(items.Count(), 2);
        }
    }
}

TEST(ScanFaults, AStartFolderThatCannotBeListedIsAnErrorAndChangesNothing) {
    TempTree tree;
    TenFolders(tree);
    FaultyFileSystem fs;
    fs.faults[tree.Path(L"ten")] = ListStatus::Failed;
    Scan scan;
    const CollectionRef before = scan.state.DigColl;
    try {
        scan.Run(tree.Path(L"ten"), &fs);
        ADD_FAILURE() << "no error";
    } catch (const ProwlError& e) {
        EXPECT_EQ(e.message(), L"Access denied.");
    }
    EXPECT_EQ(scan.state.DigColl, before);
}

TEST(ScanFaults, AMissingDriveIsAnErrorWithTheSystemsDescription) {
    const wchar_t letter = test::UnusedDriveLetter();
    Scan scan;
    const CollectionRef before = scan.state.DigColl;
    const SaveFileRef beforeRecord = scan.state.SaveFile;
    try {
        scan.Run(std::wstring(1, letter) + L":\\Apps");
        ADD_FAILURE() << "no error";
    } catch (const ProwlError& e) {
        EXPECT_FALSE(e.message().empty());
        EXPECT_EQ(e.message().find(L"System error"), std::wstring::npos) << "not the system's text";
    }
    EXPECT_EQ(scan.state.DigColl, before);
    EXPECT_EQ(scan.state.SaveFile, beforeRecord);
    EXPECT_TRUE(scan.sink.texts.empty());
}

TEST(LastPathPart, TakesTheLastComponentIgnoringOneTrailingBackslash) {
    EXPECT_EQ(LastPathPart(L"C:\\", true), L"C:");
    EXPECT_EQ(LastPathPart(L"C:\\Program Files\\Common Files", true), L"COMMON FILES");
    EXPECT_EQ(LastPathPart(L"C:\\Apps\\", false), L"Apps");
    EXPECT_EQ(LastPathPart(L"C:\\\\Winnt", true), L"WINNT");
    EXPECT_EQ(LastPathPart(L"plain", true), L"PLAIN");
    EXPECT_EQ(LastPathPart(L"C:\\Gr\u00fc\u00dfe", true).substr(0, 3), L"GR\u00dc");
}

}  // namespace
}  // namespace prowl
