#include "tree/MemoryTreeView.h"

#include <algorithm>
#include <stdexcept>

#include "tree/TextHash.h"

namespace prowl {

void MemoryTreeView::Clear() {
    nodes_.clear();
    checked_.clear();
    chars_.clear();
    lastParent_ = 0;
    slots_.assign(slots_.size(), 0);
    keyed_ = 0;
    firstTop_ = lastTop_ = 0;
    lastRevealed_ = 0;
}

int32_t MemoryTreeView::Add(const std::wstring& relativeKey, const std::wstring& key,
                            const std::wstring& text) {
    int32_t parent = 0;
    if (!relativeKey.empty()) {
        // Siblings come in runs: the last parent is most often the next one too, and
        // comparing with its key spares a probe of the table at a random place.
        parent = lastParent_ != 0 && lastParent_ <= Count() &&
                         KeyOf(nodes_[lastParent_ - 1]) == relativeKey
                     ? lastParent_
                     : Find(relativeKey);
        if (parent == 0) throw TreeViewError();
        lastParent_ = parent;
    }
    // A node without a key is allowed any number of times; Find never answers it.
    if (!key.empty()) {
        if (2 * (keyed_ + 1) > static_cast<int32_t>(slots_.size())) Rehash();
        if (*Slot(key) != 0) throw TreeViewError();
    }
    checked_.push_back(0);
    Node& n = nodes_.emplace_back();
    n.key = Keep(key);
    n.text = Keep(text);
    n.parent = parent;
    const auto position = Count();
    if (!key.empty()) {
        *Slot(key) = position;
        ++keyed_;
    }
    int32_t& first = parent ? nodes_[parent - 1].firstChild : firstTop_;
    int32_t& last = parent ? nodes_[parent - 1].lastChild : lastTop_;
    (last ? nodes_[last - 1].next : first) = position;
    last = position;
    return position;
}

int32_t MemoryTreeView::Find(const std::wstring& key) const {
    return key.empty() || slots_.empty() ? 0 : *const_cast<MemoryTreeView*>(this)->Slot(key);
}

int32_t* MemoryTreeView::Slot(std::wstring_view key) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = HashKey(key) & mask;
    while (slots_[s] != 0 && KeyOf(nodes_[slots_[s] - 1]) != key) s = (s + 1) & mask;
    return &slots_[s];
}

MemoryTreeView::Span MemoryTreeView::Keep(const std::wstring& text) {
    const Span span{static_cast<uint32_t>(chars_.size()), static_cast<uint32_t>(text.size())};
    chars_.insert(chars_.end(), text.begin(), text.end());
    return span;
}

std::wstring MemoryTreeView::Text(int32_t node) const { return std::wstring(View(At(node).text)); }

void MemoryTreeView::SetText(int32_t node, const std::wstring& text) {
    Node& n = At(node);  // Keep grows only the pool
    n.text = Keep(text);
}

void MemoryTreeView::Rehash() {
    // Keys live in one table of positions, not one allocation each: a project may hold
    // hundreds of thousands.
    slots_.assign(std::max<std::size_t>(16, slots_.size() * 2), 0);
    for (int32_t position = 1; position <= Count(); ++position)
        if (nodes_[position - 1].key.length != 0) *Slot(KeyOf(nodes_[position - 1])) = position;
}

void MemoryTreeView::SetImage(int32_t node, const std::wstring& imageKey) {
    const bool held = imageKeys_.empty() ||
                      std::find(imageKeys_.begin(), imageKeys_.end(), imageKey) != imageKeys_.end();
    Node& n = At(node);
    if (!held) {
        n.image = 0;
        return;
    }
    auto it = std::find(images_.begin(), images_.end(), imageKey);
    if (it == images_.end()) {
        if (images_.size() > UINT8_MAX) throw std::length_error("tree view: too many images");
        it = images_.insert(images_.end(), imageKey);
    }
    n.image = static_cast<uint8_t>(it - images_.begin());
}

void MemoryTreeView::EnsureVisible(int32_t node) {
    for (auto p = At(node).parent; p != 0; p = At(p).parent) At(p).expanded = true;
    lastRevealed_ = node;
}

void MemoryTreeView::SetRecord(int32_t node, ObjectRef record) {
    At(node).record = std::move(record);
}

std::vector<int32_t> MemoryTreeView::Children(int32_t node) const {
    std::vector<int32_t> children;
    for (int32_t c = node ? At(node).firstChild : firstTop_; c != 0; c = nodes_[c - 1].next)
        children.push_back(c);
    return children;
}

void MemoryTreeView::UserClick(int32_t node) {
    At(node);
    if (events_) events_->NodeClick(node);
}

void MemoryTreeView::UserToggleCheck(int32_t node) {
    checked_[Position(node)] ^= 1;
    if (events_) events_->NodeCheck(node);
}

void MemoryTreeView::UserExpand(int32_t node) {
    auto& n = At(node);
    if (n.expanded || !HasChildren(node)) return;
    n.expanded = true;
    if (events_) events_->Expand(node);
}

void MemoryTreeView::UserCollapse(int32_t node) {
    auto& n = At(node);
    if (!n.expanded || !HasChildren(node)) return;
    n.expanded = false;
    if (events_) events_->Collapse(node);
}

void MemoryTreeView::UserEditLabel(int32_t node, const std::wstring& newText) {
    At(node);
    const bool keep = !events_ || events_->AfterLabelEdit(node, false, newText);
    if (keep && node <= Count()) SetText(node, newText);  // the handler may clear the tree
}

void MemoryTreeView::UserCancelLabelEdit(int32_t node) {
    At(node);
    if (events_) events_->AfterLabelEdit(node, true, std::wstring());
}

void MemoryTreeView::UserMouseUp(int32_t button, int32_t shift, int32_t x, int32_t y) {
    if (events_) events_->MouseUp(button, shift, x, y);
}

std::size_t MemoryTreeView::Position(int32_t node) const {
    if (node < 1 || node > Count()) throw std::out_of_range("tree view: no such node");
    return static_cast<std::size_t>(node - 1);
}

MemoryTreeView::Node& MemoryTreeView::At(int32_t node) { return nodes_[Position(node)]; }

const MemoryTreeView::Node& MemoryTreeView::At(int32_t node) const {
    return nodes_[Position(node)];
}

bool MemoryTreeView::HasChildren(int32_t node) const { return At(node).firstChild != 0; }

}  // namespace prowl
