#pragma once
// The project tree drawn from a collection: a bold root for the project, then one node per
// record, each carrying its record, nested by Reference.

#include <string>
#include <vector>

#include "model/ItemCollection.h"
#include "tree/RecordOperations.h"
#include "tree/TreeView.h"

namespace prowl {

// "Active X Controls (" + start path + ")"
std::wstring RootLabel(const std::wstring& startPath);

// What a drawn tree keeps of its collection for the ticks made on it: who refers to whom,
// and the node of each record (by 0-based position).
struct DrawnProject {
    ReferenceIndex index;
    std::vector<int32_t> nodeOf;
    std::vector<char> attached, open;  // the drawing's own, kept for the next (see Rebuild)
};

// Clears the tree and draws the collection. Root first, then the records in collection
// order, so that after a scan the record at position p is node p + 1. A record hangs under
// the first earlier record whose Key is its Reference (the root for "K0"). A hand-edited
// collection cannot make it fail: a record whose Reference names no earlier record hangs
// under the root after the others, with whatever refers to it beneath it, and a record whose
// Key was taken before gets a node without a key (the control's keys stay unique, and the
// node still carries its record). Every missing item is revealed: its ancestors expand and
// the last one is scrolled into view. What it keeps goes into `drawn`.
void BuildProjectTree(TreeView& tree, const ItemCollection& items, const std::wstring& startPath,
                      DrawnProject& drawn);

// Sets the boxes of the records at these positions (all now holding `included`), touching
// only those that differ. A tick calls it with the records it changed: every other box
// already shows its record.
void RefreshNodeChecks(TreeView& tree, const DrawnProject& drawn,
                       const std::vector<int32_t>& positions, const std::wstring& included);

}  // namespace prowl
