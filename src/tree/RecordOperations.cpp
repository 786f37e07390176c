#include "tree/RecordOperations.h"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace prowl {

void SetItemText(ProjectState& state, clsObject& record, const std::wstring& text) {
    record.Text = text;
    state.SaveFile->Altered = true;
}

void SetItemExpanded(ProjectState& state, clsObject& record, const std::wstring& value) {
    record.Expanded = value;
    state.SaveFile->Altered = true;
}

void SetItemIncluded(ProjectState& state, clsObject& record, const std::wstring& value) {
    record.Included = value;
    state.SaveFile->Altered = true;
    IncludeDescendants(*state.DigColl, record.Key, value);
}

void IncludeDescendants(const ItemCollection& items, const std::wstring& key,
                        const std::wstring& value) {
    // The children index: for each Reference, its records in collection order, chained
    // through `next`. Views into the records' own strings, which the walk does not change.
    struct Children {
        int32_t first = -1;
        int32_t last = -1;
        bool visited = false;
    };
    std::unordered_map<std::wstring_view, Children> byReference;
    std::vector<int32_t> next(static_cast<std::size_t>(items.Count()), -1);
    std::vector<clsObject*> records;
    records.reserve(next.size());
    for (const ObjectRef& r : items) {
        const auto i = static_cast<int32_t>(records.size());
        records.push_back(r.get());
        Children& c = byReference[r->Reference];
        if (c.last < 0)
            c.first = i;
        else
            next[static_cast<std::size_t>(c.last)] = i;
        c.last = i;
    }

    // Each key's records are visited once, and each record sits under one key only.
    std::vector<std::wstring_view> pending{key};
    while (!pending.empty()) {
        const auto it = byReference.find(pending.back());
        pending.pop_back();
        if (it == byReference.end() || it->second.visited) continue;
        it->second.visited = true;
        for (int32_t i = it->second.first; i >= 0; i = next[static_cast<std::size_t>(i)]) {
            clsObject& child = *records[static_cast<std::size_t>(i)];
            child.Included = value;
            pending.push_back(child.Key);
        }
    }
}

std::wstring GetItemFilePath(const clsObject* record, FileSystem& files, bool& found) {
    found = false;
    if (!record || record->NodeType == kNodeFolder) return L"";
    if (files.LookUpFile(record->Path, nullptr) == FileLookup::Present) {
        found = true;
        return record->Path;
    }
    return record->Path + kFileNotFoundSuffix;
}

}  // namespace prowl
