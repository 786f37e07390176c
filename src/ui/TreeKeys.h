#pragma once
// The keyboard habits of the project tree, and what they need besides the tree view itself:
// a label editor started by the program, the place of a node on screen, and the clipboard.

#include <cstdint>
#include <optional>
#include <string>

namespace prowl {

enum class TreeKey {
    Rename,    // F2, and the popup's Rename
    CopyPath,  // Ctrl+C, and the popup's Copy Path
    Popup,     // Shift+F10 and the context-menu key: the popup at the selected node
    Open,      // Enter: File Details of a file
};

// Virtual-key codes as the platform numbers them.
inline constexpr uint32_t kKeyEnter = 0x0D;
inline constexpr uint32_t kKeyC = 0x43;
inline constexpr uint32_t kKeyF2 = 0x71;
inline constexpr uint32_t kKeyF10 = 0x79;
inline constexpr uint32_t kKeyApps = 0x5D;  // the context-menu key

// The key pressed in the tree with the modifiers held; empty for a key that is the control's
// own.
std::optional<TreeKey> TreeKeyFor(uint32_t virtualKey, bool ctrl, bool shift, bool alt);

class TreeGestures {
  public:
    virtual ~TreeGestures() = default;
    // Opens the node's label for editing, as F2 in the control would.
    virtual void BeginLabelEdit(int32_t node) = 0;
    // Where the popup opens for the node, in the coordinates MouseUp reports.
    virtual void NodeAnchor(int32_t node, int32_t& x, int32_t& y) const = 0;
};

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's contents with the text. Throws ProwlError when it is held by
    // another program.
    virtual void SetText(const std::wstring& text) = 0;
};

}  // namespace prowl
