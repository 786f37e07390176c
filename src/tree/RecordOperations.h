#pragma once
// The record operations behind the tree's handlers. Each acts on the record it is given
// (the one the node carries, so a duplicate key cannot redirect it) and, for the include
// state, on every record that refers to it by key, directly or further down.

#include <string>

#include "model/FileSystem.h"
#include "model/ProjectState.h"

namespace prowl {

inline constexpr const wchar_t* kFileNotFoundSuffix = L" [File Not Found]";

// Each setter also marks the project altered.
void SetItemText(ProjectState& state, clsObject& record, const std::wstring& text);
void SetItemExpanded(ProjectState& state, clsObject& record, const std::wstring& value);
// The record and everything beneath it by Reference take the value.
void SetItemIncluded(ProjectState& state, clsObject& record, const std::wstring& value);

// Every record of the collection whose Reference is the key takes the value, and so on
// down. One pass over the collection and one visit per record however the references run:
// a hand-edited file may hold a cycle or a chain a million deep.
void IncludeDescendants(const ItemCollection& items, const std::wstring& key,
                        const std::wstring& value);

// What the node click shows for a record: "" for none or a folder, else its Path, with
// " [File Not Found]" when no ordinary file is there or the path cannot be examined at all.
// found: an ordinary file is there now (the record's Exists is not consulted).
std::wstring GetItemFilePath(const clsObject* record, FileSystem& files, bool& found);

}  // namespace prowl
