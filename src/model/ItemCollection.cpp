#include "model/ItemCollection.h"

#include <cstdio>
#include <ostream>
#include <stdexcept>

namespace prowl {

std::wstring MakeKey(int32_t index) { return L"K" + std::to_wstring(index); }

IdentityText& IdentityText::Set(std::wstring text) {
    if (fixed_ && text != *this)
        throw std::logic_error("a record's Key and Path cannot change once it is in a collection");
    std::wstring::operator=(std::move(text));
    return *this;
}

std::ostream& operator<<(std::ostream& out, const IdentityText& text) {
    for (const wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out << static_cast<char>(c);
        } else {
            char escaped[16];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            out << escaped;
        }
    }
    return out;
}

void ItemCollection::Add(ObjectRef item) {
    item->Key.fixed_ = true;
    item->Path.fixed_ = true;
    ForEachBuiltIndex([&](Index& index) { Enter(index, item); });
    items_.push_back(std::move(item));
}

void ItemCollection::Remove(int32_t position) {
    if (position < 1 || position > Count()) throw std::out_of_range("ItemCollection::Remove");
    const ObjectRef item = std::move(items_[static_cast<std::size_t>(position - 1)]);
    items_.erase(items_.begin() + (position - 1));
    ForEachBuiltIndex([&](Index& index) { Leave(index, item, true); });
}

void ItemCollection::Truncate(int32_t firstRemoved) {
    if (firstRemoved < 1 || firstRemoved > Count() + 1)
        throw std::out_of_range("ItemCollection::Truncate");
    // From the end, so that a removed first match never has a later one left to hand over to.
    while (Count() >= firstRemoved) {
        const ObjectRef item = std::move(items_.back());
        items_.pop_back();
        ForEachBuiltIndex([&](Index& index) { Leave(index, item, false); });
    }
}

const ObjectRef& ItemCollection::Item(int32_t position) const {
    if (position < 1 || position > Count()) throw std::out_of_range("ItemCollection::Item");
    return items_[static_cast<std::size_t>(position - 1)];
}

ObjectRef ItemCollection::FindByKey(const std::wstring& key) const { return Find(keys_, key); }

ObjectRef ItemCollection::FindByPath(const std::wstring& path) const { return Find(paths_, path); }

ObjectRef ItemCollection::Find(Index& index, const std::wstring& value) const {
    if (!index.built) {
        index.slots.reserve(items_.size());
        for (const auto& item : items_) Enter(index, item);
        index.built = true;
    }
    const auto it = index.slots.find(value);
    return it == index.slots.end() ? nullptr : it->second.first;
}

void ItemCollection::Enter(Index& index, const ObjectRef& item) const {
    Slot& slot = index.slots[(*item).*index.field];
    if (slot.count++ == 0) slot.first = item;
}

void ItemCollection::Leave(Index& index, const ObjectRef& item, bool findNext) const {
    const std::wstring& value = (*item).*index.field;
    const auto it = index.slots.find(value);
    if (it == index.slots.end()) return;
    Slot& slot = it->second;
    if (--slot.count == 0) {
        index.slots.erase(it);
    } else if (findNext && slot.first == item) {
        // Only records sharing a value get here, so the walk is rare.
        for (const auto& other : items_)
            if ((*other).*index.field == value) {
                slot.first = other;
                break;
            }
    }
}

}  // namespace prowl
