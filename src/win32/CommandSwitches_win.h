#pragma once
// The main window's toolbar and menus, built from the logic's tables.
#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/CommandSwitches.h"

namespace prowl::win32 {

class Win32CommandSwitches final : public CommandSwitches {
  public:
    // owner receives the commands; popupAnchor is the control whose client coordinates
    // ShowPopupMenu is given in (the tree). The image list stays the caller's.
    Win32CommandSwitches(HWND owner, HWND toolbar, HIMAGELIST toolbarImages);
    ~Win32CommandSwitches() override;
    Win32CommandSwitches(const Win32CommandSwitches&) = delete;
    Win32CommandSwitches& operator=(const Win32CommandSwitches&) = delete;

    void SetPopupAnchor(HWND anchor) { anchor_ = anchor; }

    void Build(const std::vector<ToolbarButtonState>& buttons,
               const std::vector<MenuItemState>& items) override;
    void SetButtonEnabled(int32_t index, bool enabled) override;
    void SetMenuItemEnabled(const std::wstring& name, bool enabled) override;
    void SetMenuItemVisible(const std::wstring& name, bool visible) override;
    void ShowPopupMenu(const std::wstring& name, int32_t x, int32_t y) override;
    ToolbarButtonState Button(int32_t index) const override;
    MenuItemState MenuItem(const std::wstring& name) const override;

    // What a WM_COMMAND identifier stands for: a toolbar key or a menu item name.
    std::optional<std::wstring> ToolbarKeyOf(UINT id) const;
    std::optional<std::wstring> MenuNameOf(UINT id) const;
    UINT MenuIdOf(const std::wstring& name) const;  // 0 when there is no such item
    // The toolbar asks for tooltips through its parent.
    bool OnNotify(const NMHDR& header, LRESULT& result);

  private:
    struct Item {
        MenuItemState state;
        UINT id;
        HMENU submenu = nullptr;  // for an item that has children
        bool attached = false;    // inserted into the bar or a parent menu
    };
    void RebuildMenus();
    const Item* Find(const std::wstring& name) const;
    Item* Find(const std::wstring& name);
    // Where the item sits in the real menus now: its menu and position, or no menu at all.
    std::pair<HMENU, int> Place(const Item& item) const;
    void DestroyMenus();

    HWND owner_;
    HWND toolbar_;
    HWND anchor_ = nullptr;
    std::vector<ToolbarButtonState> buttons_;  // keys and tooltips, which the control lacks
    std::vector<Item> items_;
    HMENU bar_ = nullptr;
};

}  // namespace prowl::win32
