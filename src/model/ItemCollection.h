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
    void Add(ObjectRef item);
    // 1-based; the records behind it move up one place.
    void Remove(int32_t position);
    // Drops every record from the 1-based position to the end.
    void Truncate(int32_t firstRemoved);
    const ObjectRef& Item(int32_t position) const;
    void Reserve(std::size_t n) { items_.reserve(n); }

    // First record whose field equals the given text exactly; null when none does.
    // The index assumes Key and Path are not rewritten in place after a record is added;
    // a stale hit is detected and repaired, so a rewrite can only cost a rebuild.
    ObjectRef FindByKey(const std::wstring& key) const;
    ObjectRef FindByPath(const std::wstring& path) const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    bool empty() const { return items_.empty(); }

  private:
    using Index = std::unordered_map<std::wstring, std::size_t>;
    ObjectRef Find(const std::wstring& value, std::wstring clsObject::*field, Index& index,
                   bool& built) const;
    void Invalidate() { keyIndexBuilt_ = pathIndexBuilt_ = false; }

    std::vector<ObjectRef> items_;
    mutable Index keyIndex_;
    mutable Index pathIndex_;
    mutable bool keyIndexBuilt_ = false;
    mutable bool pathIndexBuilt_ = false;
};

using CollectionRef = std::shared_ptr<ItemCollection>;
using SaveFileRef = std::shared_ptr<clsSaveFile>;

}  // namespace prowl
