#include "win32/CommandSwitches_win.h"

#include <stdexcept>

namespace prowl::win32 {
namespace {

constexpr UINT kToolbarIdBase = 1000;
constexpr UINT kMenuIdBase = 2000;

std::wstring MenuText(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = nullptr;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info)) return L"";
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!GetMenuItemInfoW(menu, position, TRUE, &info)) return L"";
    text.resize(info.cch);
    return text;
}

}  // namespace

Win32CommandSwitches::Win32CommandSwitches(HWND owner, HWND toolbar, HIMAGELIST toolbarImages)
    : owner_(owner), toolbar_(toolbar) {
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages));
}

Win32CommandSwitches::~Win32CommandSwitches() {
    if (!IsWindow(owner_)) {
        // The window took its menu bar, and everything in it, when it was destroyed; the
        // handle may name another menu by now. What was attached to nothing is still ours.
        bar_ = nullptr;
    } else if (GetMenu(owner_) == bar_) {
        SetMenu(owner_, nullptr);
    }
    DestroyMenus();
}

void Win32CommandSwitches::Build(const std::vector<ToolbarButtonState>& buttons,
                                 const std::vector<MenuItemState>& items) {
    buttons_ = buttons;
    std::vector<TBBUTTON> tb;
    for (const auto& b : buttons_) {
        TBBUTTON t{};
        t.idCommand = static_cast<int>(kToolbarIdBase + b.index);
        t.fsState = b.enabled ? TBSTATE_ENABLED : 0;
        if (b.separator) {
            t.fsStyle = BTNS_SEP;
        } else {
            t.iBitmap = b.image > 0 ? b.image - 1 : I_IMAGENONE;
            t.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
            t.iString = reinterpret_cast<INT_PTR>(b.caption.c_str());
        }
        tb.push_back(t);
    }
    SendMessageW(toolbar_, TB_ADDBUTTONSW, tb.size(), reinterpret_cast<LPARAM>(tb.data()));
    // The control sizes each button to its caption, touching the next; leave a little room.
    HDC dc = GetDC(toolbar_);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(toolbar_, dc);
    const DWORD padding = static_cast<DWORD>(SendMessageW(toolbar_, TB_GETPADDING, 0, 0));
    SendMessageW(toolbar_, TB_SETPADDING, 0,
                 MAKELPARAM(LOWORD(padding) + MulDiv(8, dpi, 96), HIWORD(padding)));
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);

    items_.clear();
    for (size_t i = 0; i < items.size(); ++i)
        items_.push_back(Item{items[i], static_cast<UINT>(kMenuIdBase + i)});
    RebuildMenus();
}

void Win32CommandSwitches::DestroyMenus() {
    // A menu inserted into another goes with it; the others are nobody's child.
    for (auto& item : items_) {
        if (item.submenu && !item.attached) DestroyMenu(item.submenu);
        item.submenu = nullptr;
        item.attached = false;
    }
    if (bar_) DestroyMenu(bar_);
    bar_ = nullptr;
}

void Win32CommandSwitches::RebuildMenus() {
    if (bar_ && GetMenu(owner_) == bar_) SetMenu(owner_, nullptr);
    DestroyMenus();
    for (auto& item : items_)
        for (const auto& child : items_)
            if (child.state.parent == item.state.name) {
                item.submenu = CreatePopupMenu();
                break;
            }
    bar_ = CreateMenu();
    for (auto& item : items_) {
        if (!item.state.visible) continue;
        HMENU into = bar_;
        if (!item.state.parent.empty()) {
            Item* parent = Find(item.state.parent);
            if (!parent || !parent->submenu) continue;
            into = parent->submenu;
        }
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
        info.wID = item.id;
        if (item.state.caption == L"-") {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask |= MIIM_STRING;
            info.fType = MFT_STRING;
            info.dwTypeData = const_cast<wchar_t*>(item.state.caption.c_str());
        }
        info.fState = item.state.enabled ? MFS_ENABLED : MFS_GRAYED;
        if (item.submenu) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = item.submenu;
        }
        item.attached = InsertMenuItemW(into, GetMenuItemCount(into), TRUE, &info) != FALSE;
    }
    SetMenu(owner_, bar_);
    DrawMenuBar(owner_);
}

const Win32CommandSwitches::Item* Win32CommandSwitches::Find(const std::wstring& name) const {
    for (const auto& item : items_)
        if (item.state.name == name) return &item;
    return nullptr;
}

Win32CommandSwitches::Item* Win32CommandSwitches::Find(const std::wstring& name) {
    for (auto& item : items_)
        if (item.state.name == name) return &item;
    return nullptr;
}

std::pair<HMENU, int> Win32CommandSwitches::Place(const Item& item) const {
    if (!item.state.visible) return {nullptr, -1};
    HMENU menu = bar_;
    if (!item.state.parent.empty()) {
        const Item* parent = Find(item.state.parent);
        if (!parent || !parent->submenu) return {nullptr, -1};
        menu = parent->submenu;
    }
    int position = 0;
    for (const auto& other : items_) {
        if (&other == &item) return {menu, position};
        if (other.state.parent == item.state.parent && other.state.visible) ++position;
    }
    return {nullptr, -1};
}

void Win32CommandSwitches::SetButtonEnabled(int32_t index, bool enabled) {
    for (auto& b : buttons_)
        if (b.index == index) b.enabled = enabled;
    SendMessageW(toolbar_, TB_ENABLEBUTTON, kToolbarIdBase + index, MAKELPARAM(enabled, 0));
}

void Win32CommandSwitches::SetMenuItemEnabled(const std::wstring& name, bool enabled) {
    Item* item = Find(name);
    if (!item) return;
    item->state.enabled = enabled;
    auto [menu, position] = Place(*item);
    if (!menu) return;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    info.fState = (info.fState & ~(MFS_GRAYED | MFS_DISABLED)) | (enabled ? 0 : MFS_GRAYED);
    SetMenuItemInfoW(menu, position, TRUE, &info);
    if (menu == bar_) DrawMenuBar(owner_);
}

void Win32CommandSwitches::SetMenuItemVisible(const std::wstring& name, bool visible) {
    Item* item = Find(name);
    if (!item || item->state.visible == visible) return;
    item->state.visible = visible;
    RebuildMenus();
}

void Win32CommandSwitches::ShowPopupMenu(const std::wstring& name, int32_t x, int32_t y) {
    const Item* item = Find(name);
    if (!item || !item->submenu) return;
    POINT pt{x, y};
    ClientToScreen(anchor_ ? anchor_ : owner_, &pt);
    // Without this the menu stays open when the user clicks elsewhere.
    SetForegroundWindow(owner_);
    TrackPopupMenu(item->submenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0,
                   owner_, nullptr);
    PostMessageW(owner_, WM_NULL, 0, 0);
}

ToolbarButtonState Win32CommandSwitches::Button(int32_t index) const {
    ToolbarButtonState state;
    TBBUTTON t{};
    if (!SendMessageW(toolbar_, TB_GETBUTTON, index - 1, reinterpret_cast<LPARAM>(&t)))
        throw std::out_of_range("toolbar: no button at that index");
    state.index = index;
    state.separator = (t.fsStyle & BTNS_SEP) != 0;
    state.enabled = (t.fsState & TBSTATE_ENABLED) != 0;
    if (state.separator) return state;
    state.image = t.iBitmap >= 0 ? t.iBitmap + 1 : 0;
    LRESULT length = SendMessageW(toolbar_, TB_GETBUTTONTEXTW, t.idCommand, 0);
    if (length > 0) {
        std::wstring text(length + 1, L'\0');
        SendMessageW(toolbar_, TB_GETBUTTONTEXTW, t.idCommand,
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(length);
        state.caption = text;
    }
    if (auto key = ToolbarKeyOf(t.idCommand)) state.key = *key;
    for (const auto& b : buttons_)
        if (kToolbarIdBase + b.index == static_cast<UINT>(t.idCommand)) state.tooltip = b.tooltip;
    return state;
}

MenuItemState Win32CommandSwitches::MenuItem(const std::wstring& name) const {
    const Item* item = Find(name);
    if (!item) throw std::out_of_range("menu: no item of that name");
    MenuItemState state = item->state;
    auto [menu, position] = Place(*item);
    if (!menu) return state;  // not in any menu: nothing to read but what was asked for
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    state.caption = (info.fType & MFT_SEPARATOR) ? L"-" : MenuText(menu, position);
    state.enabled = (info.fState & MFS_GRAYED) == 0;
    state.visible = true;
    return state;
}

std::optional<std::wstring> Win32CommandSwitches::ToolbarKeyOf(UINT id) const {
    for (const auto& b : buttons_)
        if (!b.separator && kToolbarIdBase + b.index == id) return b.key;
    return std::nullopt;
}

std::optional<std::wstring> Win32CommandSwitches::MenuNameOf(UINT id) const {
    for (const auto& item : items_)
        if (item.id == id) return item.state.name;
    return std::nullopt;
}

UINT Win32CommandSwitches::MenuIdOf(const std::wstring& name) const {
    const Item* item = Find(name);
    return item ? item->id : 0;
}

bool Win32CommandSwitches::OnNotify(const NMHDR& header, LRESULT& result) {
    if (header.code != TTN_GETDISPINFOW) return false;
    auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
    for (const auto& b : buttons_)
        if (kToolbarIdBase + b.index == header.idFrom && !b.separator) {
            info.lpszText = const_cast<wchar_t*>(b.tooltip.c_str());
            info.hinst = nullptr;
            result = 0;
            return true;
        }
    return false;
}

}  // namespace prowl::win32
