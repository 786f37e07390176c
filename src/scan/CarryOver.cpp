#include "scan/CarryOver.h"

#include <functional>
#include <string_view>

namespace prowl {
namespace {

// The new records' paths in one open-addressed table: each slot holds a path's hash and the
// position of its first record, so a probe compares text only when the hashes agree.
class PathTable {
  public:
    explicit PathTable(const ItemCollection& records) : records_(records) {
        std::size_t size = 16;
        while (size < 2 * static_cast<std::size_t>(records.Count())) size *= 2;
        slots_.assign(size, Slot{0, -1});
    }
    // The position of the first record of the path; `position` itself when it is the first.
    int32_t Enter(std::wstring_view path, int32_t position) {
        const std::size_t hash = std::hash<std::wstring_view>{}(path);
        Slot& slot = slots_[Probe(path, hash)];
        if (slot.position < 0) slot = {hash, position};
        return slot.position;
    }
    int32_t Find(std::wstring_view path) const {
        return slots_[Probe(path, std::hash<std::wstring_view>{}(path))].position;
    }

  private:
    struct Slot {
        std::size_t hash;
        int32_t position;  // -1: empty
    };
    // The slot that holds the path, or the empty one where it would go.
    std::size_t Probe(std::wstring_view path, std::size_t hash) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t s = hash & mask;
        while (slots_[s].position >= 0 &&
               !(slots_[s].hash == hash &&
                 std::wstring_view(records_.Item(slots_[s].position + 1)->Path) == path))
            s = (s + 1) & mask;
        return s;
    }

    const ItemCollection& records_;
    std::vector<Slot> slots_;  // at most half full: probes stay short
};

}  // namespace

PathMatch MatchPaths(const ItemCollection& previous, const ItemCollection& current) {
    const auto count = static_cast<std::size_t>(current.Count());
    PathTable table(current);
    std::vector<int32_t> firstOfPath;
    firstOfPath.reserve(count);
    for (const auto& record : current)
        firstOfPath.push_back(table.Enter(record->Path, static_cast<int32_t>(firstOfPath.size())));

    PathMatch match;
    match.inPrevious.assign(count, 0);
    match.firstCurrent.reserve(static_cast<std::size_t>(previous.Count()));
    for (const auto& record : previous) {
        const int32_t found = table.Find(record->Path);
        match.firstCurrent.push_back(found);
        if (found >= 0) match.inPrevious[static_cast<std::size_t>(found)] = 1;
    }
    // A path the new collection repeats is known for every record that has it.
    for (std::size_t i = 0; i < count; ++i)
        match.inPrevious[i] = match.inPrevious[static_cast<std::size_t>(firstOfPath[i])];
    return match;
}

void CarryOverStates(const ItemCollection& previous, const ItemCollection& current,
                     const PathMatch& match) {
    std::size_t i = 0;
    for (const auto& from : previous) {
        const int32_t to = match.firstCurrent[i++];
        if (to < 0) continue;
        clsObject& record = *current.Item(to + 1);
        record.Expanded = from->Expanded;
        record.Included = from->Included;
        record.Text = from->Text;
    }
}

void CarryOverStates(const ItemCollection& previous, const ItemCollection& current) {
    CarryOverStates(previous, current, MatchPaths(previous, current));
}

}  // namespace prowl
