#pragma once
// The record operations behind the tree's handlers. Each acts on the record it is given
// (the one the node carries, so a duplicate key cannot redirect it) and, for the include
// state, on every record that refers to it by key, directly or further down.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/FileSystem.h"
#include "model/ProjectState.h"

namespace prowl {

inline constexpr const wchar_t* kFileNotFoundSuffix = L" [File Not Found]";
// The tree's project node; never a record's.
inline constexpr const wchar_t* kRootKey = L"K0";

// Who refers to whom in one collection, built in one pass: for each Key and Reference text
// the records that carry it, in collection order. It points into the records, so whoever
// keeps it keeps them (the tree's nodes do). Nobody rewrites a record's Key or Reference.
class ReferenceIndex {
  public:
    ReferenceIndex() = default;
    explicit ReferenceIndex(const ItemCollection& items) { Rebuild(items); }
    // Indexes a collection afresh in the buffers of the last one: under Wine a fresh large
    // block costs a page fault per page, more than the indexing itself.
    void Rebuild(const ItemCollection& items);

    // 0-based position of the first record whose Key is the text; -1 for none and for "".
    int32_t FirstWithKey(std::wstring_view key) const;
    // The same for the Reference of the record at a position, and whether that record is the
    // first with its own Key.
    int32_t FirstReferenced(int32_t position) const { return firstWith_[referenceId_[position]]; }
    bool FirstWithItsKey(int32_t position) const {
        return firstWith_[keyId_[position]] == position;
    }
    // Whether the record at a position has the project node's key "K0" as its Key or as its
    // Reference, answered without touching the record.
    bool KeyIsProjectKey(int32_t position) const { return keyId_[position] == 0; }
    bool RefersToProject(int32_t position) const { return referenceId_[position] == 0; }

    // Every record whose Reference is the key takes the value, then everything that refers
    // to those, and so on: each record once, however the references run (a hand-edited file
    // may hold a cycle or a chain a million deep). Returns the positions it set, in order,
    // until the next call.
    const std::vector<int32_t>& IncludeDescendants(std::wstring_view key,
                                                   const std::wstring& value) const;

  private:
    int32_t Canonical(std::wstring_view text) const;
    int32_t Intern(std::wstring_view text);
    int32_t Find(std::wstring_view text) const;

    int32_t canonical_ = -1;  // "K0" to this number are ids 0 to it; other texts follow
    int32_t texts_ = 0;

    std::vector<clsObject*> records_;
    std::vector<int32_t> keyId_;        // by position: the id of the record's Key text
    std::vector<int32_t> referenceId_;  // by position: the id of its Reference text
    std::vector<int32_t> firstWith_;    // by id: first position with that Key, or -1
    std::vector<int32_t> start_;        // by id: where its referring records begin in referring_
    std::vector<int32_t> referring_;    // positions, grouped by the id of their Reference
    std::vector<int32_t> next_;         // where the counting sort puts the next of each id
    struct Slot {
        std::wstring_view text;
        int32_t id = -1;
    };
    std::vector<Slot> table_;  // open addressing, one allocation however large the project
    mutable std::vector<char> visited_, beneath_;  // the walk's, kept from tick to tick
    mutable std::vector<int32_t> pending_, set_;
};

// Each setter also marks the project altered.
void SetItemText(ProjectState& state, clsObject& record, const std::wstring& text);
void SetItemExpanded(ProjectState& state, clsObject& record, const std::wstring& value);
// The record and everything beneath it by Reference take the value; returns the positions
// of those beneath it (see IncludeDescendants). A record that claims the project node's key
// (only a hand-edited file makes one) has nothing beneath it: it is not the project.
const std::vector<int32_t>& SetItemIncluded(ProjectState& state, const ReferenceIndex& index,
                                            clsObject& record, const std::wstring& value);

// What the node click shows for a record: "" for none or a folder, else its Path, with
// " [File Not Found]" when no ordinary file is there or the path cannot be examined at all.
// found: an ordinary file is there now (the record's Exists is not consulted).
std::wstring GetItemFilePath(const clsObject* record, FileSystem& files, bool& found);

}  // namespace prowl
