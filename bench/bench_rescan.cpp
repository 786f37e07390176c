// Re-scan reconciliation on the logic: the carry-over and the change report's two lists of
// records (without filling or drawing the dialog) of N old records against N new ones, a tenth of
// which changed path, at 10,000 and 100,000 records. Beside each, the least such a reconciliation
// costs: a standard hash set of the new paths and one look-up per old path. Sizes take turns.
// The growth of a bare walk over both projects' paths is this machine's own for the same
// tenfold (its caches and its load): the figure to judge the re-scan's growth against.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "Measure.h"
#include "scan/CarryOver.h"

using namespace prowl;

namespace {

constexpr int kRuns = 9;  // the machine is shared

// As a scan of C:\Bench makes them: folders of 98 files each under twenty vendors. In the
// new project every tenth record has another path (an update renamed the file).
ItemCollection Project(int32_t records, bool renamed) {
    ItemCollection items;
    items.Reserve(static_cast<std::size_t>(records));
    for (int32_t i = 1; i <= records; ++i) {
        auto r = std::make_shared<clsObject>();
        r->Index = i;
        r->Key = MakeKey(i);
        r->NodeType = i % 2 ? kNodeDll : kNodeOcx;
        const int32_t folder = (i - 1) / 99;
        r->Path = L"C:\\Bench\\Vendor" + std::to_wstring(folder % 20) + L"\\Product" +
                  std::to_wstring(folder) + L"\\" + (renamed && i % 10 == 0 ? L"v2-" : L"") +
                  L"component" + std::to_wstring(i) + (i % 2 ? L".dll" : L".ocx");
        r->Text = L"component" + std::to_wstring(i);
        r->Included = i % 7 ? kFlagOn : kFlagOff;
        r->Expanded = kFlagOff;
        items.Add(std::move(r));
    }
    return items;
}

struct Size {
    int32_t records;
    ItemCollection before = Project(records, false), after = Project(records, true);
    std::size_t listed = 0;
    void Reconcile() {
        const PathChanges changes = CarryOverStates(before, after);
        listed = changes.removed.size() + changes.added.size();
    }
    void Walk() {
        listed = 0;
        for (const auto& r : before) listed += r->Path.size() + r->Path.back();
        for (const auto& r : after) listed += r->Path.size() + r->Path.back();
    }
    void Least() {
        std::unordered_set<std::wstring_view> paths;
        paths.reserve(static_cast<std::size_t>(after.Count()));
        for (const auto& r : after) paths.insert(r->Path);
        listed = 0;
        for (const auto& r : before) listed += paths.count(r->Path);
    }
};

}  // namespace

int wmain() {
    Size small{10'000}, large{100'000};
    // Every run finds its records out of the cache, as a re-scan does after the scan's walk of
    // the disk: each follows a read of a buffer larger than any cache. Without it, this
    // machine's last-level cache keeps the whole smaller project between runs.
    std::vector<uint64_t> flush(std::size_t{32} << 20);  // 256 MiB
    uint64_t flushed = 0;
    const auto evict = [&] {
        for (std::size_t i = 0; i < flush.size(); i += 8) flushed += ++flush[i];
    };
    const auto medians =
        bench::InterleavedMedians({evict, [&] { small.Reconcile(); }, evict, [&] { small.Least(); },
                                   evict, [&] { large.Reconcile(); }, evict, [&] { large.Least(); },
                                   evict, [&] { small.Walk(); }, evict, [&] { large.Walk(); }},
                                  kRuns);
    small.Reconcile();
    large.Reconcile();
    std::printf(
        "median of %d runs after one warm-up, each out of the cache (%s); a tenth of "
        "the paths changed\n",
        kRuns, flushed ? "flushed" : "?");
    std::printf("%-9s %12s %12s %8s %8s\n", "records", "ours (ms)", "least (ms)", "ratio",
                "listed");
    for (const auto& [size, ours, least] :
         {std::tuple(&small, medians[1], medians[3]), std::tuple(&large, medians[5], medians[7])})
        std::printf("%-9d %12.2f %12.2f %8.2f %8zu\n", size->records, ours * 1000, least * 1000,
                    ours / least, size->listed);
    std::printf("bare walk growth10x: %.2f\n", medians[11] / medians[9]);
    std::printf("rescan/growth10x: %.2f\n", medians[5] / medians[1]);
    return 0;
}
