#include "model/ItemCollection.h"

#include <stdexcept>

namespace prowl {

std::wstring MakeKey(int32_t index) { return L"K" + std::to_wstring(index); }

void ItemCollection::Add(ObjectRef item) {
    const std::size_t pos = items_.size();
    // try_emplace keeps an existing entry, which is exactly "the first match wins".
    if (keyIndexBuilt_) keyIndex_.try_emplace(item->Key, pos);
    if (pathIndexBuilt_) pathIndex_.try_emplace(item->Path, pos);
    items_.push_back(std::move(item));
}

void ItemCollection::Remove(int32_t position) {
    if (position < 1 || position > Count()) throw std::out_of_range("ItemCollection::Remove");
    items_.erase(items_.begin() + (position - 1));
    Invalidate();
}

void ItemCollection::Truncate(int32_t firstRemoved) {
    if (firstRemoved < 1 || firstRemoved > Count() + 1)
        throw std::out_of_range("ItemCollection::Truncate");
    items_.resize(static_cast<std::size_t>(firstRemoved - 1));
    Invalidate();
}

const ObjectRef& ItemCollection::Item(int32_t position) const {
    if (position < 1 || position > Count()) throw std::out_of_range("ItemCollection::Item");
    return items_[static_cast<std::size_t>(position - 1)];
}

ObjectRef ItemCollection::FindByKey(const std::wstring& key) const {
    return Find(key, &clsObject::Key, keyIndex_, keyIndexBuilt_);
}

ObjectRef ItemCollection::FindByPath(const std::wstring& path) const {
    return Find(path, &clsObject::Path, pathIndex_, pathIndexBuilt_);
}

ObjectRef ItemCollection::Find(const std::wstring& value, std::wstring clsObject::*field,
                               Index& index, bool& built) const {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!built) {
            index.clear();
            index.reserve(items_.size());
            for (std::size_t i = 0; i < items_.size(); ++i)
                index.try_emplace((*items_[i]).*field, i);
            built = true;
        }
        auto it = index.find(value);
        if (it == index.end()) return nullptr;
        const ObjectRef& hit = items_[it->second];
        if ((*hit).*field == value) return hit;
        built = false;  // a record was rewritten in place; rebuild once and look again
    }
    return nullptr;
}

}  // namespace prowl
