#include "scan/CarryOver.h"

#include <functional>
#include <string_view>

namespace prowl {
namespace {

// The new records' paths in one open-addressed table: each slot holds a path's hash and the
// position of its first record, so a probe compares text only when the hashes agree. The
// slots lie in blocks small enough for the heap to hand out again: under Wine every larger
// block is fresh memory from the system, and its page faults would cost more than the matching.
class PathTable {
  public:
    explicit PathTable(const ItemCollection& records) : records_(records) {
        std::size_t size = kBlock;
        while (size < 2 * static_cast<std::size_t>(records.Count())) size *= 2;
        mask_ = size - 1;
        blocks_.resize(size / kBlock);
        for (auto& block : blocks_) block.assign(kBlock, Slot{0, -1});
    }
    // The position of the first record of the path; `position` itself when it is the first.
    int32_t Enter(std::wstring_view path, int32_t position) {
        const std::size_t hash = std::hash<std::wstring_view>{}(path);
        Slot& slot = At(Probe(path, hash));
        if (slot.position < 0) slot = {static_cast<uint32_t>(hash), position};
        return slot.position;
    }
    int32_t Find(std::wstring_view path) const {
        return At(Probe(path, std::hash<std::wstring_view>{}(path))).position;
    }

  private:
    struct Slot {
        uint32_t hash;
        int32_t position;  // -1: empty
    };
    static constexpr std::size_t kBlock = std::size_t{1} << 14;  // 128 KiB

    Slot& At(std::size_t s) { return blocks_[s / kBlock][s % kBlock]; }
    const Slot& At(std::size_t s) const { return blocks_[s / kBlock][s % kBlock]; }
    // The slot that holds the path, or the empty one where it would go.
    std::size_t Probe(std::wstring_view path, std::size_t hash) const {
        std::size_t s = hash & mask_;
        for (; At(s).position >= 0; s = (s + 1) & mask_)
            if (At(s).hash == static_cast<uint32_t>(hash) &&
                std::wstring_view(records_.Item(At(s).position + 1)->Path) == path)
                break;
        return s;
    }

    const ItemCollection& records_;
    std::size_t mask_;
    std::vector<std::vector<Slot>> blocks_;  // at most half full: probes stay short
};

// One walk over each collection. `carry` copies the choices as the match is found.
PathChanges Reconcile(const ItemCollection& previous, const ItemCollection& current, bool carry) {
    PathTable table(current);
    // Paths the new collection repeats, as (position, position of the first): rare, so listed
    // rather than kept for every record.
    std::vector<std::pair<int32_t, int32_t>> repeats;
    int32_t position = 0;
    for (const auto& record : current) {
        const int32_t first = table.Enter(record->Path, position);
        if (first != position) repeats.emplace_back(position, first);
        ++position;
    }

    PathChanges changes;
    std::vector<uint8_t> known(static_cast<std::size_t>(current.Count()), 0);
    for (const auto& from : previous) {
        const int32_t found = table.Find(from->Path);
        if (found < 0) {
            changes.removed.push_back(from);
            continue;
        }
        known[static_cast<std::size_t>(found)] = 1;
        if (!carry) continue;
        clsObject& to = *current.Item(found + 1);
        to.Expanded = from->Expanded;
        to.Included = from->Included;
        to.Text = from->Text;
    }
    for (const auto& [at, first] : repeats)
        known[static_cast<std::size_t>(at)] = known[static_cast<std::size_t>(first)];
    position = 0;
    for (const auto& record : current)
        if (!known[static_cast<std::size_t>(position++)]) changes.added.push_back(record);
    return changes;
}

}  // namespace

PathChanges ComparePaths(const ItemCollection& previous, const ItemCollection& current) {
    return Reconcile(previous, current, false);
}

PathChanges CarryOverStates(const ItemCollection& previous, const ItemCollection& current) {
    return Reconcile(previous, current, true);
}

}  // namespace prowl
