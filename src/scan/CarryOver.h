#pragma once
// A re-scan's reconciliation: which records of the previous project and of the new one share
// a Path, and the user's choices carried from the one to the other. Paths are compared
// exactly, letter case included; Key, Index and the rest are renumbered by every scan and
// never take part.

#include <cstdint>
#include <vector>

#include "model/ItemCollection.h"

namespace prowl {

// The records whose path the other side lacks, each list in its collection's order: the
// records themselves, shared with the collections.
struct PathChanges {
    std::vector<ObjectRef> removed;  // previous records
    std::vector<ObjectRef> added;    // new records
};
PathChanges ComparePaths(const ItemCollection& previous, const ItemCollection& current);

// Copies Expanded, then Included, then Text from each previous record onto the first new
// record of its path. Previous records that repeat a path (a hand-edited project file) are
// taken in order, so the last of them wins, as one walk per record would have it. Gives what
// ComparePaths gives, from the same matching: each path is hashed once, so a re-scan stays
// linear in the two collections.
PathChanges CarryOverStates(const ItemCollection& previous, const ItemCollection& current);

}  // namespace prowl
