#pragma once
// The tree view control as the program uses it: the project tree and the two lists of the
// change report. Nodes are addressed by their 1-based position in insertion order, as the
// callers rely on ("the record at position p is node p + 1").
//
// Two implementations: an in-memory one (tests, and the complete model a lazily drawn real
// control fills itself from) and the Win32 control. One contract test suite runs on both.

#include <cstdint>
#include <string>

#include "model/ItemCollection.h"

namespace prowl {

// Raised by Add for a key that is already present or a relative key that names no node.
class TreeViewError : public std::exception {
  public:
    const char* what() const noexcept override { return "tree view: bad key"; }
};

inline constexpr int32_t kMouseLeft = 1;
inline constexpr int32_t kMouseRight = 2;
inline constexpr int32_t kMouseMiddle = 4;

// Events raised by a user action on the control (never by the program's own calls, except
// where the control itself does so; the handlers take such reports like user actions).
// A handler refuses a check toggle by setting the box back itself.
class TreeViewEvents {
  public:
    virtual ~TreeViewEvents() = default;
    virtual void NodeClick(int32_t node) = 0;
    virtual void NodeCheck(int32_t node) = 0;  // Checked already holds the new state
    virtual void Expand(int32_t node) = 0;     // Expanded already holds the new state
    virtual void Collapse(int32_t node) = 0;
    // cancelled: the user abandoned the edit (then newText is meaningless). The control keeps
    // the new text only when the handler returns true; otherwise the label springs back.
    virtual bool AfterLabelEdit(int32_t node, bool cancelled, const std::wstring& newText) = 0;
    virtual void MouseUp(int32_t button, int32_t shift, int32_t x, int32_t y) = 0;
};

class TreeView {
  public:
    virtual ~TreeView() = default;

    virtual void Clear() = 0;
    // Empty relativeKey: a top-level node after the existing ones. Otherwise the last child
    // of the node with that key. Returns the new node's position. Throws TreeViewError.
    virtual int32_t Add(const std::wstring& relativeKey, const std::wstring& key,
                        const std::wstring& text) = 0;
    virtual int32_t Count() const = 0;
    virtual int32_t Find(const std::wstring& key) const = 0;  // 0 when no node has the key
    virtual int32_t Parent(int32_t node) const = 0;           // 0 for a top-level node

    virtual std::wstring Key(int32_t node) const = 0;
    virtual std::wstring Text(int32_t node) const = 0;
    virtual void SetText(int32_t node, const std::wstring& text) = 0;
    virtual std::wstring Image(int32_t node) const = 0;  // image key, "" for none
    virtual void SetImage(int32_t node, const std::wstring& imageKey) = 0;
    virtual bool Checked(int32_t node) const = 0;
    virtual void SetChecked(int32_t node, bool checked) = 0;
    virtual bool Expanded(int32_t node) const = 0;
    virtual void SetExpanded(int32_t node, bool expanded) = 0;
    virtual bool Bold(int32_t node) const = 0;
    virtual void SetBold(int32_t node, bool bold) = 0;
    // Expands every ancestor and scrolls the node into view.
    virtual void EnsureVisible(int32_t node) = 0;

    // Each node can carry the record it stands for; tree actions act on that record.
    virtual void SetRecord(int32_t node, ObjectRef record) = 0;
    virtual const ObjectRef& Record(int32_t node) const = 0;

    virtual void SetEvents(TreeViewEvents* events) = 0;
};

}  // namespace prowl
