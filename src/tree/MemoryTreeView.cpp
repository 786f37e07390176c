#include "tree/MemoryTreeView.h"

#include <algorithm>
#include <stdexcept>

#include "tree/TextHash.h"

namespace prowl {

void MemoryTreeView::Clear() {
    nodes_.clear();
    slots_.assign(slots_.size(), 0);
    keyed_ = 0;
    firstTop_ = lastTop_ = 0;
    lastRevealed_ = 0;
}

int32_t MemoryTreeView::Add(const std::wstring& relativeKey, const std::wstring& key,
                            const std::wstring& text) {
    int32_t parent = 0;
    if (!relativeKey.empty()) {
        parent = Find(relativeKey);
        if (parent == 0) throw TreeViewError();
    }
    // A node without a key is allowed any number of times; Find never answers it.
    if (!key.empty()) {
        if (2 * (keyed_ + 1) > static_cast<int32_t>(slots_.size())) Rehash();
        if (*Slot(key) != 0) throw TreeViewError();
    }
    Node n;
    n.key = key;
    n.text = text;
    n.parent = parent;
    nodes_.push_back(std::move(n));
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

int32_t* MemoryTreeView::Slot(const std::wstring& key) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = HashText(key) & mask;
    while (slots_[s] != 0 && nodes_[slots_[s] - 1].key != key) s = (s + 1) & mask;
    return &slots_[s];
}

void MemoryTreeView::Rehash() {
    // Keys live in one table of positions, not one allocation each: a project may hold
    // hundreds of thousands.
    slots_.assign(std::max<std::size_t>(16, slots_.size() * 2), 0);
    for (int32_t position = 1; position <= Count(); ++position)
        if (!nodes_[position - 1].key.empty()) *Slot(nodes_[position - 1].key) = position;
}

void MemoryTreeView::SetImage(int32_t node, const std::wstring& imageKey) {
    const bool held = imageKeys_.empty() ||
                      std::find(imageKeys_.begin(), imageKeys_.end(), imageKey) != imageKeys_.end();
    At(node).image = held ? imageKey : std::wstring();
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
    auto& n = At(node);
    n.checked = !n.checked;
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
    if (keep && node <= Count()) At(node).text = newText;  // the handler may clear the tree
}

void MemoryTreeView::UserCancelLabelEdit(int32_t node) {
    At(node);
    if (events_) events_->AfterLabelEdit(node, true, std::wstring());
}

void MemoryTreeView::UserMouseUp(int32_t button, int32_t shift, int32_t x, int32_t y) {
    if (events_) events_->MouseUp(button, shift, x, y);
}

MemoryTreeView::Node& MemoryTreeView::At(int32_t node) {
    if (node < 1 || node > Count()) throw std::out_of_range("tree view: no such node");
    return nodes_[static_cast<std::size_t>(node - 1)];
}

const MemoryTreeView::Node& MemoryTreeView::At(int32_t node) const {
    if (node < 1 || node > Count()) throw std::out_of_range("tree view: no such node");
    return nodes_[static_cast<std::size_t>(node - 1)];
}

bool MemoryTreeView::HasChildren(int32_t node) const { return At(node).firstChild != 0; }

}  // namespace prowl
