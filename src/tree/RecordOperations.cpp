#include "tree/RecordOperations.h"

#include "tree/TextHash.h"

namespace prowl {

void ReferenceIndex::Rebuild(const ItemCollection& items) {
    const auto n = static_cast<std::size_t>(items.Count());
    canonical_ = items.Count();
    texts_ = items.Count() + 1;
    table_.clear();
    records_.clear();
    keyId_.clear();
    referenceId_.clear();
    records_.reserve(n);
    for (const ObjectRef& r : items) {
        records_.push_back(r.get());
        keyId_.push_back(Intern(r->Key));
        referenceId_.push_back(Intern(r->Reference));
    }
    firstWith_.assign(static_cast<std::size_t>(texts_), -1);
    for (std::size_t i = n; i-- > 0;)
        if (!records_[i]->Key.empty()) firstWith_[keyId_[i]] = static_cast<int32_t>(i);
    // A counting sort by Reference keeps each text's records in collection order.
    start_.assign(static_cast<std::size_t>(texts_) + 1, 0);
    for (int32_t id : referenceId_) ++start_[id + 1];
    for (std::size_t id = 1; id < start_.size(); ++id) start_[id] += start_[id - 1];
    next_.assign(start_.begin(), start_.end() - 1);
    referring_.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        referring_[next_[referenceId_[i]]++] = static_cast<int32_t>(i);
}

// The keys a scan makes, "K" and a number up to the record count, are their own id: no
// hashing (and no scattered memory) for a collection that nobody edited by hand.
int32_t ReferenceIndex::Canonical(std::wstring_view text) const {
    if (text.size() < 2 || text.size() > 11 || text[0] != L'K' ||
        (text[1] == L'0' && text.size() > 2))
        return -1;
    int64_t number = 0;
    for (wchar_t c : text.substr(1)) {
        if (c < L'0' || c > L'9') return -1;
        number = number * 10 + (c - L'0');
    }
    return number <= canonical_ ? static_cast<int32_t>(number) : -1;
}

int32_t ReferenceIndex::Intern(std::wstring_view text) {
    if (const int32_t id = Canonical(text); id >= 0) return id;
    if (table_.empty()) {
        std::size_t size = 16;
        while (size < 2 * records_.capacity() + 2) size *= 2;  // 2n texts at most: never full
        table_.resize(size);
    }
    const std::size_t mask = table_.size() - 1;
    std::size_t s = HashText(text) & mask;
    while (table_[s].id >= 0 && table_[s].text != text) s = (s + 1) & mask;
    if (table_[s].id < 0) table_[s] = {text, texts_++};
    return table_[s].id;
}

int32_t ReferenceIndex::Find(std::wstring_view text) const {
    if (const int32_t id = Canonical(text); id >= 0) return id;
    if (table_.empty()) return -1;
    const std::size_t mask = table_.size() - 1;
    for (std::size_t s = HashText(text) & mask; table_[s].id >= 0; s = (s + 1) & mask)
        if (table_[s].text == text) return table_[s].id;
    return -1;
}

int32_t ReferenceIndex::FirstWithKey(std::wstring_view key) const {
    const int32_t id = Find(key);
    return id < 0 ? -1 : firstWith_[id];
}

const std::vector<int32_t>& ReferenceIndex::IncludeDescendants(std::wstring_view key,
                                                               const std::wstring& value) const {
    set_.clear();
    const int32_t top = Find(key);
    if (top < 0) return set_;
    // Each text's referring records are visited once, and each record refers to one text.
    // The buffers stay between ticks: under Wine, fresh large blocks cost a page fault per
    // page, more than the walk itself.
    visited_.assign(firstWith_.size(), 0);
    beneath_.assign(records_.size(), 0);
    pending_.assign(1, top);
    visited_[top] = 1;
    while (!pending_.empty()) {
        const int32_t id = pending_.back();
        pending_.pop_back();
        for (int32_t k = start_[id]; k < start_[id + 1]; ++k) {
            const int32_t i = referring_[k];
            beneath_[i] = 1;
            if (!visited_[keyId_[i]]) {
                visited_[keyId_[i]] = 1;
                pending_.push_back(keyId_[i]);
            }
        }
    }
    // The records themselves in collection order, which is their order in memory: the walk's
    // order would scatter the writes over a large project.
    for (std::size_t i = 0; i < beneath_.size(); ++i) {
        if (!beneath_[i]) continue;
        records_[i]->Included = value;
        set_.push_back(static_cast<int32_t>(i));
    }
    return set_;
}

void SetItemText(ProjectState& state, clsObject& record, const std::wstring& text) {
    record.Text = text;
    state.SaveFile->Altered = true;
}

void SetItemExpanded(ProjectState& state, clsObject& record, const std::wstring& value) {
    record.Expanded = value;
    state.SaveFile->Altered = true;
}

const std::vector<int32_t>& SetItemIncluded(ProjectState& state, const ReferenceIndex& index,
                                            clsObject& record, const std::wstring& value) {
    static const std::vector<int32_t> none;
    record.Included = value;
    state.SaveFile->Altered = true;
    return record.Key == kRootKey ? none : index.IncludeDescendants(record.Key, value);
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
