#pragma once
// The toolbar buttons and menu items of the main window: what the logic switches and what
// a user can observe of them. The window builds both from the tables it is given once and
// afterwards only mirrors the changes; clicks go back to the logic by key and by name.

#include <cstdint>
#include <string>
#include <vector>

namespace prowl {

struct ToolbarButtonState {
    int32_t index = 0;  // 1-based position on the toolbar; a separator takes a position too
    bool separator = false;
    std::wstring key;  // what a click reports
    std::wstring caption;
    std::wstring tooltip;
    int32_t image = 0;  // 1-based position in the toolbar's image list, 0 for none
    bool enabled = false;
};

struct MenuItemState {
    std::wstring name;     // the control's name, e.g. mnuFileSave; what a click reports
    std::wstring parent;   // empty for a menu on the bar
    std::wstring caption;  // "-" makes a separator; '&' marks the mnemonic
    bool enabled = true;
    bool visible = true;  // an invisible top-level menu is left off the bar but can pop up
};

class CommandSwitches {
  public:
    virtual ~CommandSwitches() = default;

    // Called once, before any other call. Menu items come parents first, children in order.
    virtual void Build(const std::vector<ToolbarButtonState>& buttons,
                       const std::vector<MenuItemState>& items) = 0;

    virtual void SetButtonEnabled(int32_t index, bool enabled) = 0;
    virtual void SetMenuItemEnabled(const std::wstring& name, bool enabled) = 0;
    virtual void SetMenuItemVisible(const std::wstring& name, bool visible) = 0;

    // Opens a top-level menu (visible on the bar or not) as a popup at a point given in
    // client pixels of the tree view, as its MouseUp reports them. Returns after the menu
    // has closed; a chosen item arrives as a menu click like any other.
    virtual void ShowPopupMenu(const std::wstring& name, int32_t x, int32_t y) = 0;

    // Read back from the control itself, so a test can prove it mirrors the logic.
    virtual ToolbarButtonState Button(int32_t index) const = 0;
    virtual MenuItemState MenuItem(const std::wstring& name) const = 0;
};

}  // namespace prowl
