#pragma once
// A re-scan's reconciliation: which records of the previous project and of the new one share
// a Path, and the user's choices carried from the one to the other. Paths are compared
// exactly, letter case included; Key, Index and the rest are renumbered by every scan and
// never take part.

#include <cstdint>
#include <vector>

#include "model/ItemCollection.h"

namespace prowl {

// Each path is hashed once, into one flat table over the new records, so both the carry-over
// and the change report stay linear in the two collections.
struct PathMatch {
    // For each previous record, by 0-based position: the position of the first new record of
    // the same path, or -1 when the disk no longer has it.
    std::vector<int32_t> firstCurrent;
    // For each new record: 1 when some previous record has its path.
    std::vector<uint8_t> inPrevious;
};
PathMatch MatchPaths(const ItemCollection& previous, const ItemCollection& current);

// Copies Expanded, then Included, then Text from each previous record onto the first new
// record of its path. Previous records that repeat a path (a hand-edited project file) are
// taken in order, so the last of them wins, as one walk per record would have it.
void CarryOverStates(const ItemCollection& previous, const ItemCollection& current,
                     const PathMatch& match);
void CarryOverStates(const ItemCollection& previous, const ItemCollection& current);

}  // namespace prowl
