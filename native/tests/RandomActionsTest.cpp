// Thousands of seeded random user actions through the main window's logic on generated
// folder trees: new scans (some stopped part-way), ticks, expansions, renames, saves, opens
// and group runs (some stopped while a registration hangs), with what must always hold
// checked after each. PROWL_RANDOM_SEED replays a failure; the run ends after 60 seconds.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "Desk.h"
#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"

namespace prowl {
namespace {

using Clock = std::chrono::steady_clock;

class RandomUser {
  public:
    explicit RandomUser(uint32_t seed) : random_(seed) {}

    void Act() {
        try {
            Do(desk_ ? Pick(10) : 0);
        } catch (const ProwlError& e) {
            ADD_FAILURE() << "action " << actions_ << ": " << testing::PrintToString(e.message());
        }
        ++actions_;
        Check();
    }

  private:
    void Do(uint32_t action) {
        switch (action) {
            case 0:
                New();
                break;
            case 1:
                Save();
                break;
            case 2:
                Open();
                break;
            case 3:
                Group();
                break;
            case 4:
                Tree().UserExpand(AnyNode());
                break;
            case 5:
                Tree().UserCollapse(AnyNode());
                break;
            case 6:
                Rename();
                break;
            default:
                Tree().UserToggleCheck(AnyNode());
                break;
        }
        Check();
    }

  private:
    uint32_t Pick(uint32_t n) { return static_cast<uint32_t>(random_() % n); }
    MemoryTreeView& Tree() { return desk_->window.tree; }
    int32_t AnyNode() { return 1 + static_cast<int32_t>(Pick(Tree().Count())); }
    ItemCollection& Items() { return *desk_->state.DigColl; }

    // A new disk, a few folders deep, with components among other files and a link back up.
    void New() {
        desk_ = std::make_unique<test::Desk>();
        saved_.clear();
        std::vector<std::wstring> folders{L"C:\\P"};
        desk_->disk.Folder(L"C:\\P");
        static const wchar_t* const kNames[] = {L"a.dll", L"B.OCX", L"c.Dll", L"d.txt",
                                                L"e.ocx.bak"};
        for (uint32_t i = 0, n = Pick(30); i < n; ++i) {
            const std::wstring& parent = folders[Pick(static_cast<uint32_t>(folders.size()))];
            const std::wstring name = std::to_wstring(i);
            if (Pick(3) == 0) {
                folders.push_back(parent + L"\\F" + name);
                desk_->disk.Folder(folders.back());
            } else if (Pick(12) == 0) {
                desk_->disk.Link(parent + L"\\L" + name,
                                 folders[Pick(static_cast<uint32_t>(folders.size()))]);
            } else {
                desk_->disk.File(parent + L"\\" + name + kNames[Pick(5)]);
            }
        }
        // Stop is pressed at some listing, or never.
        const uint32_t stopAt = Pick(2) ? 1 + Pick(folders.size()) : 0;
        uint32_t listings = 0;
        desk_->disk.onList = [&, stopAt](const std::wstring&) {
            if (++listings == stopAt) desk_->logic.OnToolbarButtonClick(L"Stop");
        };
        const bool found = desk_->Scan(L"C:\\P");
        desk_->disk.onList = nullptr;
        if (stopAt && listings >= stopAt) {
            EXPECT_FALSE(found);
            EXPECT_TRUE(Items().empty()) << "a stopped scan leaves no half-built project";
            EXPECT_TRUE(desk_->state.SaveFile->StartPath.empty());
        } else {
            CheckScanned();
        }
    }

    void Save() {
        if (desk_->state.SaveFile->StartPath.empty()) return;  // no project: Save is off
        saved_ = L"C:\\P\\" + std::to_wstring(Pick(2)) + L".prw";
        SaveProjectFile(desk_->state, desk_->disk, desk_->logic, saved_);
        ProjectState reopened;
        OpenProjectFile(reopened, desk_->disk, desk_->logic, saved_);
        ExpectSame(reopened, desk_->state);
    }

    void Open() {
        if (saved_.empty()) return;
        const std::string bytes = desk_->disk.Bytes(saved_);
        OpenProjectFile(desk_->state, desk_->disk, desk_->logic, saved_);
        desk_->logic.ProjectTree().BuildProjectTree(Items());
        if (desk_->disk.Bytes(saved_) != bytes) ADD_FAILURE() << "opening wrote the file";
    }

    // A group run from a random record, each launch ending as its script says: an exit code,
    // a launcher that cannot start, or a hang that only Stop ends.
    void Group() {
        if (Items().empty()) return;
        const ObjectRef folder = Items().Item(1 + static_cast<int32_t>(Pick(Items().Count())));
        auto& launcher = desk_->launcher;
        launcher.onStart = [&](const std::wstring& start) {
            test::LaunchScript& script = launcher.scripts[start];
            script = {Pick(6), Pick(4) == 0 ? -1 : 1, Pick(8) == 0 ? L"Access is denied." : L""};
        };
        desk_->window.window.onPump = [this] {
            if (Pick(4) == 0) desk_->logic.OnToolbarButtonClick(L"Stop");
        };
        desk_->window.prompts.messageAnswers.assign(4, MsgAnswer::Ok);
        const std::vector<std::wstring> texts = Texts();
        desk_->Engine().RunGroup(folder, Pick(2) == 0);
        desk_->window.window.onPump = nullptr;
        EXPECT_EQ(Texts(), texts) << "a group run changes no record";
        EXPECT_EQ(desk_->state.ProcessMode, kProcessIdle);
    }

    void Rename() {
        static const wchar_t* const kTexts[] = {L"renamed", L"", L"tab\there", L"line\r\nbreak",
                                                L"\u00e9\u4e2d"};
        if (Tree().Count()) Tree().UserEditLabel(AnyNode(), kTexts[Pick(5)]);
    }

    std::vector<std::wstring> Texts() {
        std::vector<std::wstring> texts;
        for (const auto& r : Items()) texts.push_back(r->Text + r->Included + r->Expanded);
        return texts;
    }

    // After a scan: indexes and keys run 1, 2, 3 and every record refers to an earlier one.
    void CheckScanned() {
        int32_t position = 0, folders = 0, dlls = 0, ocxs = 0;
        for (const auto& r : Items()) {
            ++position;
            ASSERT_EQ(r->Index, position);
            ASSERT_EQ(r->Key, MakeKey(position));
            ASSERT_TRUE(r->Reference == L"K0" ? position == 1 : r->ParentIndex < position);
            ASSERT_EQ(r->Reference, MakeKey(r->ParentIndex));
            folders += r->NodeType == kNodeFolder, dlls += r->NodeType == kNodeDll,
                ocxs += r->NodeType == kNodeOcx;
        }
        const clsSaveFile& counts = *desk_->state.SaveFile;
        EXPECT_EQ(std::tie(counts.Folder_Count, counts.DLL_Count, counts.OCX_Count),
                  std::tie(folders, dlls, ocxs));
    }

    // The tree mirrors the records: one node each, in order, with its text and its tick.
    void Check() {
        if (!desk_) return;
        EXPECT_EQ(desk_->state.ProcessMode, kProcessIdle);
        ASSERT_EQ(Tree().Count(), Items().Count() + 1);
        for (int32_t n = 2; n <= Tree().Count(); ++n) {
            const ObjectRef& record = Tree().Record(n);
            ASSERT_EQ(record, Items().Item(n - 1)) << "node " << n;
            ASSERT_EQ(Tree().Checked(n), record->Included == kFlagOn) << "node " << n;
            ASSERT_EQ(Tree().Text(n), record->Text) << "node " << n;
        }
    }

    static void ExpectSame(const ProjectState& a, const ProjectState& b) {
        ASSERT_EQ(a.DigColl->Count(), b.DigColl->Count());
        EXPECT_EQ(a.SaveFile->StartPath, b.SaveFile->StartPath);
        for (int32_t p = 1; p <= a.DigColl->Count(); ++p) {
            const clsObject &x = *a.DigColl->Item(p), &y = *b.DigColl->Item(p);
            ASSERT_EQ(std::tie(x.Index, x.ParentIndex, x.NodeType, x.Path, x.Key, x.Text,
                               x.Reference, x.Included, x.Expanded),
                      std::tie(y.Index, y.ParentIndex, y.NodeType, y.Path, y.Key, y.Text,
                               y.Reference, y.Included, y.Expanded))
                << "record " << p;
        }
    }

    std::mt19937 random_;
    std::unique_ptr<test::Desk> desk_;
    std::wstring saved_;
    int actions_ = 0;
};

TEST(RandomActions, WhateverAUserDoesTheTreeMirrorsTheRecordsAndNothingSavedIsLost) {
    const char* fixed = std::getenv("PROWL_RANDOM_SEED");
    const uint32_t first = fixed ? static_cast<uint32_t>(std::strtoul(fixed, nullptr, 10)) : 1;
    const auto end = Clock::now() + std::chrono::seconds(60);
    int actions = 0;
    for (uint32_t seed = first; actions < 20000 && Clock::now() < end; ++seed) {
        SCOPED_TRACE("PROWL_RANDOM_SEED=" + std::to_string(seed));
        RandomUser user(seed);
        for (int i = 0; i < 200 && !HasFailure(); ++i, ++actions) user.Act();
        if (HasFailure() || fixed) break;
    }
}

}  // namespace
}  // namespace prowl
