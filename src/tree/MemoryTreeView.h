#pragma once
// The tree view held in memory: the double the tests drive, and the complete model that a
// real control drawn lazily fills itself from. Program calls raise no events; the User*
// operations act as a user would on the real control and raise the events it raises.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tree/TreeView.h"

namespace prowl {

class MemoryTreeView : public TreeView {
  public:
    void Clear() override;
    int32_t Add(const std::wstring& relativeKey, const std::wstring& key,
                const std::wstring& text) override;
    int32_t Count() const override { return static_cast<int32_t>(nodes_.size()); }
    int32_t Find(const std::wstring& key) const override;
    int32_t Parent(int32_t node) const override { return At(node).parent; }

    std::wstring Key(int32_t node) const override { return std::wstring(KeyOf(At(node))); }
    std::wstring Text(int32_t node) const override;
    void SetText(int32_t node, const std::wstring& text) override;
    std::wstring Image(int32_t node) const override { return images_[At(node).image]; }
    // A key the image list does not hold shows no picture and reads back as "", as on the
    // real control. Without SetImageKeys every key is held.
    void SetImage(int32_t node, const std::wstring& imageKey) override;
    void SetImageKeys(std::vector<std::wstring> keys) { imageKeys_ = std::move(keys); }
    bool Checked(int32_t node) const override { return checked_[Position(node)] != 0; }
    void SetChecked(int32_t node, bool checked) override { checked_[Position(node)] = checked; }
    bool Expanded(int32_t node) const override { return At(node).expanded; }
    void SetExpanded(int32_t node, bool expanded) override { At(node).expanded = expanded; }
    bool Bold(int32_t node) const override { return At(node).bold; }
    void SetBold(int32_t node, bool bold) override { At(node).bold = bold; }
    void EnsureVisible(int32_t node) override;

    void SetRecord(int32_t node, ObjectRef record) override;
    const ObjectRef& Record(int32_t node) const override { return At(node).record; }

    void SetEvents(TreeViewEvents* events) override { events_ = events; }

    // The children of a node in display order (0: the top-level nodes).
    std::vector<int32_t> Children(int32_t node) const;
    // The node last scrolled into view by EnsureVisible, 0 when none since the last Clear.
    int32_t LastRevealed() const { return lastRevealed_; }

    // A user's actions. Each one changes what the user changed, then raises the event.
    void UserClick(int32_t node);
    void UserToggleCheck(int32_t node);
    // Only a node that has children can be expanded or collapsed by a user; expanding an
    // expanded node (or collapsing a collapsed one) does nothing.
    void UserExpand(int32_t node);
    void UserCollapse(int32_t node);
    // The control takes the new text after the event, as the real one does, unless the
    // handler refused it.
    void UserEditLabel(int32_t node, const std::wstring& newText);
    void UserCancelLabelEdit(int32_t node);
    void UserMouseUp(int32_t button, int32_t shift, int32_t x, int32_t y);

  private:
    // A project may hold hundreds of thousands of nodes: each is a few words, its key and
    // text live in one pool of characters and its image is a number, so drawing one costs no
    // allocation of its own and a walk over the nodes touches little memory.
    struct Span {
        uint32_t at = 0, length = 0;  // in chars_
    };
    struct Node {
        Span key, text;
        int32_t parent = 0;
        int32_t firstChild = 0, lastChild = 0, next = 0;  // display order
        uint8_t image = 0;                                // in images_
        bool expanded = false;
        bool bold = false;
        ObjectRef record;
    };
    std::size_t Position(int32_t node) const;  // 0-based; throws for no such node
    Node& At(int32_t node);
    const Node& At(int32_t node) const;
    bool HasChildren(int32_t node) const;
    Span Keep(const std::wstring& text);
    std::wstring_view View(Span span) const { return {chars_.data() + span.at, span.length}; }
    std::wstring_view KeyOf(const Node& n) const { return View(n.key); }
    int32_t* Slot(std::wstring_view key);  // the key's slot, or the empty one it would take
    void Rehash();

    std::vector<Node> nodes_;
    // Apart from the nodes: a tick sets the boxes of a whole subtree, and a byte each keeps
    // that walk to a small block of memory.
    std::vector<char> checked_;
    std::vector<wchar_t> chars_;             // a text changed is kept anew; Clear empties it
    std::vector<std::wstring> images_{L""};  // every image key used, "" (none) first
    std::vector<int32_t> slots_;             // node positions by key, open addressing; 0 is empty
    int32_t keyed_ = 0;
    int32_t firstTop_ = 0, lastTop_ = 0;
    int32_t lastRevealed_ = 0;
    int32_t lastParent_ = 0;  // the parent of the node added last
    TreeViewEvents* events_ = nullptr;
    std::vector<std::wstring> imageKeys_;
};

}  // namespace prowl
