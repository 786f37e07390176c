#pragma once
// The ordered, 1-based collection of item records. Records are shared by reference with
// other collections. Look-ups by Key or Path keep "first record in collection order wins"
// but go through an index, so every caller can stay linear in the project size.

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/Records.h"

namespace prowl {

using ObjectRef = std::shared_ptr<clsObject>;

class ItemCollection {
  public:
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    // Fixes the record's Key and Path (see IdentityText).
    void Add(ObjectRef item);
    // 1-based; the records behind it move up one place.
    void Remove(int32_t position);
    // Drops every record from the 1-based position to the end.
    void Truncate(int32_t firstRemoved);
    const ObjectRef& Item(int32_t position) const;
    void Reserve(std::size_t n) { items_.reserve(n); }

    // First record whose field equals the given text exactly; null when none does. Each
    // index is built at the first look-up and then kept up to date by Add, Remove and
    // Truncate, which is exact because Key and Path cannot change once added.
    ObjectRef FindByKey(const std::wstring& key) const;
    ObjectRef FindByPath(const std::wstring& path) const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    bool empty() const { return items_.empty(); }

  private:
    // The first record with a value, and how many records share it (more than one only in a
    // hand-edited project file).
    struct Slot {
        ObjectRef first;
        std::size_t count = 0;
    };
    struct Index {
        IdentityText clsObject::*field;
        std::unordered_map<std::wstring, Slot> slots;
        bool built = false;
    };
    ObjectRef Find(Index& index, const std::wstring& value) const;
    void Enter(Index& index, const ObjectRef& item) const;
    void Leave(Index& index, const ObjectRef& item, bool findNext) const;
    template <typename Each>
    void ForEachBuiltIndex(Each each) const {
        if (keys_.built) each(keys_);
        if (paths_.built) each(paths_);
    }

    std::vector<ObjectRef> items_;
    mutable Index keys_{&clsObject::Key, {}, false};
    mutable Index paths_{&clsObject::Path, {}, false};
};

using CollectionRef = std::shared_ptr<ItemCollection>;
using SaveFileRef = std::shared_ptr<clsSaveFile>;

}  // namespace prowl
