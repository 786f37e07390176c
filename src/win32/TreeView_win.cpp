#include "win32/TreeView_win.h"

#include <windowsx.h>

#include <stdexcept>
#include <string>

namespace prowl::win32 {
namespace {

// Sent by the control to itself after a click or key that toggles a box: the new state is
// only in the item once the control's own handling is over (and Wine sends no
// TVN_ITEMCHANGED for it).
constexpr UINT kCheckToggled = WM_APP + 0x51;
constexpr UINT_PTR kSubclassId = 1;

constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT kChecked = INDEXTOSTATEIMAGEMASK(2);

int32_t ShiftState(WPARAM mouseFlags) {
    int32_t shift = 0;
    if (mouseFlags & MK_SHIFT) shift |= 1;
    if (mouseFlags & MK_CONTROL) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

}  // namespace

Win32TreeView::Win32TreeView(HWND parent, int controlId, HIMAGELIST images,
                             std::vector<std::wstring> imageKeys, TreeViewOptions options)
    : imageKeys_(std::move(imageKeys)) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                  TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    if (options.editLabels) style |= TVS_EDITLABELS;
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", style, 0, 0, 100, 100, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                            nullptr);
    if (!hwnd_)
        throw std::runtime_error("tree view could not be created: " +
                                 std::to_string(GetLastError()));
    if (options.checkBoxes) {
        // Created with the style, the control clears every box at its first paint.
        SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) | TVS_CHECKBOXES);
    }
    if (images) TreeView_SetImageList(hwnd_, images, TVSIL_NORMAL);
    SetWindowSubclass(hwnd_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

Win32TreeView::~Win32TreeView() {
    if (!hwnd_) return;
    RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    events_ = nullptr;
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LRESULT CALLBACK Win32TreeView::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                             DWORD_PTR data) {
    auto* self = reinterpret_cast<Win32TreeView*>(data);
    switch (msg) {
        case kCheckToggled:
            self->ReportCheck(reinterpret_cast<HTREEITEM>(lp));
            return 0;
        case WM_KEYDOWN:
            // Space toggles the selected box (Wine sends no TVN_KEYDOWN for it).
            if (wp == VK_SPACE && (GetWindowLongPtrW(hwnd, GWL_STYLE) & TVS_CHECKBOXES))
                if (HTREEITEM item = TreeView_GetSelection(hwnd))
                    PostMessageW(hwnd, kCheckToggled, 0, reinterpret_cast<LPARAM>(item));
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: {
            // The control follows the mouse itself until the button comes up and keeps that
            // message; a click is reported by NM_CLICK or NM_RCLICK while this call runs.
            const int32_t button = msg == WM_LBUTTONDOWN ? kMouseLeft : kMouseRight;
            self->down_ =
                Press{button, ShiftState(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp), false, true};
            LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
            if (self->down_ && self->down_->button == button) {
                self->down_->tracking = false;
                // Where the control did not follow the mouse, the release is still to come.
                MSG pending;
                const UINT up = msg == WM_LBUTTONDOWN ? WM_LBUTTONUP : WM_RBUTTONUP;
                const bool released =
                    !PeekMessageW(&pending, hwnd, up, up, PM_NOREMOVE) &&
                    GetKeyState(msg == WM_LBUTTONDOWN ? VK_LBUTTON : VK_RBUTTON) >= 0;
                if (self->down_->clicked && released) {
                    Press press = *self->down_;
                    self->down_.reset();
                    self->RaiseMouseUp(press.button, press.shift, press.x, press.y);
                }
            }
            return result;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            // After a drag, or where the control let the release through.
            const int32_t button = msg == WM_LBUTTONUP   ? kMouseLeft
                                   : msg == WM_RBUTTONUP ? kMouseRight
                                                         : kMouseMiddle;
            if (self->down_ && self->down_->button == button) self->down_.reset();
            LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
            self->RaiseMouseUp(button, ShiftState(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return result;
        }
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

void Win32TreeView::RaiseMouseUp(int32_t button, int32_t shift, int32_t x, int32_t y) {
    if (events_ && programDepth_ == 0) events_->MouseUp(button, shift, x, y);
}

const Win32TreeView::Node& Win32TreeView::At(int32_t node) const {
    if (node < 1 || node > static_cast<int32_t>(nodes_.size()))
        throw std::out_of_range("tree view: no node at that position");
    return nodes_[node - 1];
}

int32_t Win32TreeView::PositionOf(HTREEITEM item) const {
    if (!item) return 0;
    TVITEMW tv{};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!TreeView_GetItem(hwnd_, &tv)) return 0;
    auto position = static_cast<int32_t>(tv.lParam);
    // A handle posted before a Clear may since name another item.
    if (position < 1 || position > static_cast<int32_t>(nodes_.size()) ||
        nodes_[position - 1].item != item)
        return 0;
    return position;
}

UINT Win32TreeView::State(int32_t node, UINT mask) const {
    return TreeView_GetItemState(hwnd_, At(node).item, mask);
}

void Win32TreeView::SetState(int32_t node, UINT state, UINT mask) {
    ProgramChange change(*this);
    TreeView_SetItemState(hwnd_, At(node).item, state, mask);
}

bool Win32TreeView::HasChildren(HTREEITEM item) const {
    return TreeView_GetChild(hwnd_, item) != nullptr;
}

void Win32TreeView::Clear() {
    ProgramChange change(*this);
    TreeView_DeleteAllItems(hwnd_);
    nodes_.clear();
    byKey_.clear();
}

int32_t Win32TreeView::Add(const std::wstring& relativeKey, const std::wstring& key,
                           const std::wstring& text) {
    // A node without key is allowed and never found.
    if (!key.empty() && byKey_.count(key)) throw TreeViewError();
    int32_t parent = 0;
    if (!relativeKey.empty()) {
        parent = Find(relativeKey);
        if (parent == 0) throw TreeViewError();
    }
    const auto position = static_cast<int32_t>(nodes_.size() + 1);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? nodes_[parent - 1].item : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = position;
    insert.item.state = kUnchecked;
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    insert.item.iImage = I_IMAGENONE;
    insert.item.iSelectedImage = I_IMAGENONE;
    HTREEITEM item;
    {
        ProgramChange change(*this);
        item = TreeView_InsertItem(hwnd_, &insert);
    }
    if (!item) throw std::runtime_error("tree view: the control refused a node");
    nodes_.push_back(Node{item, key, parent, nullptr});
    if (!key.empty()) byKey_.emplace(key, position);
    return position;
}

int32_t Win32TreeView::Count() const { return static_cast<int32_t>(TreeView_GetCount(hwnd_)); }

int32_t Win32TreeView::Find(const std::wstring& key) const {
    auto it = byKey_.find(key);
    return it == byKey_.end() ? 0 : it->second;
}

int32_t Win32TreeView::Parent(int32_t node) const { return At(node).parent; }

std::wstring Win32TreeView::Key(int32_t node) const { return At(node).key; }

std::wstring Win32TreeView::Text(int32_t node) const {
    HTREEITEM item = At(node).item;
    std::wstring buffer(256, L'\0');
    for (;;) {
        TVITEMW tv{};
        tv.mask = TVIF_TEXT | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = buffer.data();
        tv.cchTextMax = static_cast<int>(buffer.size());
        if (!TreeView_GetItem(hwnd_, &tv)) return L"";
        std::wstring text(tv.pszText);
        // A text that fills the buffer may have been cut short.
        if (text.size() + 1 < buffer.size() || buffer.size() >= 65536) return text;
        buffer.assign(buffer.size() * 4, L'\0');
    }
}

void Win32TreeView::SetText(int32_t node, const std::wstring& text) {
    TVITEMW tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = At(node).item;
    tv.pszText = const_cast<wchar_t*>(text.c_str());
    ProgramChange change(*this);
    TreeView_SetItem(hwnd_, &tv);
}

std::wstring Win32TreeView::Image(int32_t node) const {
    TVITEMW tv{};
    tv.mask = TVIF_IMAGE | TVIF_HANDLE;
    tv.hItem = At(node).item;
    if (!TreeView_GetItem(hwnd_, &tv)) return L"";
    if (tv.iImage < 0 || tv.iImage >= static_cast<int>(imageKeys_.size())) return L"";
    return imageKeys_[tv.iImage];
}

void Win32TreeView::SetImage(int32_t node, const std::wstring& imageKey) {
    int index = I_IMAGENONE;
    for (size_t i = 0; i < imageKeys_.size(); ++i)
        if (imageKeys_[i] == imageKey) index = static_cast<int>(i);
    TVITEMW tv{};
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    tv.hItem = At(node).item;
    tv.iImage = index;
    tv.iSelectedImage = index;
    ProgramChange change(*this);
    TreeView_SetItem(hwnd_, &tv);
}

bool Win32TreeView::Checked(int32_t node) const {
    return State(node, TVIS_STATEIMAGEMASK) == kChecked;
}

void Win32TreeView::SetChecked(int32_t node, bool checked) {
    SetState(node, checked ? kChecked : kUnchecked, TVIS_STATEIMAGEMASK);
}

bool Win32TreeView::Expanded(int32_t node) const {
    return (State(node, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void Win32TreeView::SetExpanded(int32_t node, bool expanded) {
    HTREEITEM item = At(node).item;
    ProgramChange change(*this);
    if (HasChildren(item)) {
        TreeView_Expand(hwnd_, item, expanded ? TVE_EXPAND : TVE_COLLAPSE);
    } else {
        // The control refuses to expand a node without children; the flag still has to stick
        // so that children added later show.
        TreeView_SetItemState(hwnd_, item, expanded ? TVIS_EXPANDED : 0, TVIS_EXPANDED);
    }
}

bool Win32TreeView::Bold(int32_t node) const { return (State(node, TVIS_BOLD) & TVIS_BOLD) != 0; }

void Win32TreeView::SetBold(int32_t node, bool bold) {
    SetState(node, bold ? TVIS_BOLD : 0, TVIS_BOLD);
}

void Win32TreeView::EnsureVisible(int32_t node) {
    HTREEITEM item = At(node).item;
    ProgramChange change(*this);
    TreeView_EnsureVisible(hwnd_, item);
}

void Win32TreeView::SetRecord(int32_t node, ObjectRef record) {
    At(node);
    nodes_[node - 1].record = std::move(record);
}

ObjectRef Win32TreeView::Record(int32_t node) const { return At(node).record; }

void Win32TreeView::SetEvents(TreeViewEvents* events) { events_ = events; }

void Win32TreeView::ReportCheck(HTREEITEM item) {
    int32_t node = PositionOf(item);
    if (node && events_) events_->NodeCheck(node);
}

bool Win32TreeView::OnNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != hwnd_) return false;
    result = 0;
    const bool user = programDepth_ == 0 && events_ != nullptr;
    switch (header.code) {
        case NM_CLICK:
        case NM_DBLCLK: {
            TVHITTESTINFO hit{};
            if (down_ && down_->tracking && down_->button == kMouseLeft) {
                hit.pt = {down_->x, down_->y};
                if (header.code == NM_CLICK) down_->clicked = true;
            } else {
                DWORD pos = GetMessagePos();
                hit.pt = {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
                ScreenToClient(hwnd_, &hit.pt);
            }
            TreeView_HitTest(hwnd_, &hit);
            if (hit.hItem && (hit.flags & TVHT_ONITEMSTATEICON)) {
                if (header.code == NM_DBLCLK) {
                    // Otherwise one double-click toggles the box twice.
                    result = TRUE;
                } else if (GetWindowLongPtrW(hwnd_, GWL_STYLE) & TVS_CHECKBOXES) {
                    PostMessageW(hwnd_, kCheckToggled, 0, reinterpret_cast<LPARAM>(hit.hItem));
                }
            } else if (header.code == NM_CLICK && hit.hItem && (hit.flags & TVHT_ONITEM) && user) {
                if (int32_t node = PositionOf(hit.hItem)) events_->NodeClick(node);
            }
            return true;
        }
        case TVN_SELCHANGEDW: {
            const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
            // Mouse selections are reported by NM_CLICK, which also sees a click on the node
            // that is already selected.
            if (user && info.action == TVC_BYKEYBOARD)
                if (int32_t node = PositionOf(info.itemNew.hItem)) events_->NodeClick(node);
            return true;
        }
        case TVN_ITEMEXPANDEDW: {
            const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
            if (!user) return true;
            int32_t node = PositionOf(info.itemNew.hItem);
            if (!node) return true;
            if (Expanded(node))
                events_->Expand(node);
            else
                events_->Collapse(node);
            return true;
        }
        case TVN_BEGINLABELEDITW:
            result = FALSE;  // let the user edit
            return true;
        case TVN_ENDLABELEDITW: {
            const auto& info = reinterpret_cast<const NMTVDISPINFOW&>(header);
            int32_t node = PositionOf(info.item.hItem);
            const bool cancelled = info.item.pszText == nullptr;
            std::wstring text = cancelled ? std::wstring() : std::wstring(info.item.pszText);
            result = cancelled ? FALSE : TRUE;  // TRUE keeps the new label
            if (node && user) events_->AfterLabelEdit(node, cancelled, text);
            return true;
        }
        case NM_RCLICK:
            if (down_ && down_->tracking && down_->button == kMouseRight) down_->clicked = true;
            result = TRUE;  // the popup is the program's: no WM_CONTEXTMENU as well
            return true;
        default:
            return false;
    }
}

}  // namespace prowl::win32
