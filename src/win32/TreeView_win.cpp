#include "win32/TreeView_win.h"

#include <windowsx.h>

#include <stdexcept>
#include <string>

#include "model/ProwlError.h"
#include "ui/MainWindowTexts.h"

namespace prowl::win32 {
namespace {

// Sent by the control to itself after a click or key that toggles a box: the new state is
// only in the item once the control's own handling is over (and Wine sends no
// TVN_ITEMCHANGED for it).
constexpr UINT kCheckToggled = WM_APP + 0x51;
constexpr UINT_PTR kSubclassId = 1;
// Sent by the control to itself to draw again once the program's changes are done.
constexpr UINT kResumeRedraw = WM_APP + 0x52;

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
    model_.SetImageKeys(imageKeys_);
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
    // A posted check toggle or a mouse release runs the program's handlers, and a deferred
    // fill runs the control's own: nothing may cross into the system's code.
    try {
        return reinterpret_cast<Win32TreeView*>(data)->HandleMessage(msg, wp, lp);
    } catch (const ProwlError& e) {
        MessageBoxW(GetAncestor(hwnd, GA_ROOT), e.message().c_str(), kErrorCaption,
                    MB_OK | MB_ICONERROR);
    } catch (...) {
        MessageBoxW(GetAncestor(hwnd, GA_ROOT), kUnexpectedErrorText, kErrorCaption,
                    MB_OK | MB_ICONERROR);
    }
    return 0;
}

LRESULT Win32TreeView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kCheckToggled:
            ReportCheck(reinterpret_cast<HTREEITEM>(lp));
            return 0;
        case kResumeRedraw:
            FlushPending();
            if (redrawHeld_) {
                redrawHeld_ = false;
                DefWindowProcW(hwnd_, WM_SETREDRAW, TRUE, 0);
                DefSubclassProc(hwnd_, WM_SETREDRAW, TRUE, 0);
                ScrollToReveal();
                RedrawWindow(hwnd_, nullptr, nullptr,
                             RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
            }
            return 0;
        case WM_KEYDOWN: {
            const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
            HTREEITEM item = TreeView_GetSelection(hwnd_);
            // Space toggles the selected box (Wine sends no TVN_KEYDOWN for it).
            if (wp == VK_SPACE && (style & TVS_CHECKBOXES) && item)
                PostMessageW(hwnd_, kCheckToggled, 0, reinterpret_cast<LPARAM>(item));
            // F2 renames, as everywhere else on Windows; the control itself has no key for it.
            if (wp == VK_F2 && (style & TVS_EDITLABELS) && item) {
                TreeView_EditLabel(hwnd_, item);
                return 0;
            }
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: {
            // The control follows the mouse itself until the button comes up and keeps that
            // message; a click is reported by NM_CLICK or NM_RCLICK while this call runs.
            const int32_t button = msg == WM_LBUTTONDOWN ? kMouseLeft : kMouseRight;
            down_ = Press{button, ShiftState(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp), false, true};
            LRESULT result = DefSubclassProc(hwnd_, msg, wp, lp);
            if (down_ && down_->button == button) {
                down_->tracking = false;
                // Where the control did not follow the mouse, the release is still to come.
                MSG pending;
                const UINT up = msg == WM_LBUTTONDOWN ? WM_LBUTTONUP : WM_RBUTTONUP;
                const bool released =
                    !PeekMessageW(&pending, hwnd_, up, up, PM_NOREMOVE) &&
                    GetKeyState(msg == WM_LBUTTONDOWN ? VK_LBUTTON : VK_RBUTTON) >= 0;
                if (down_->clicked && released) {
                    Press press = *down_;
                    down_.reset();
                    RaiseMouseUp(press.button, press.shift, press.x, press.y);
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
            if (down_ && down_->button == button) down_.reset();
            LRESULT result = DefSubclassProc(hwnd_, msg, wp, lp);
            RaiseMouseUp(button, ShiftState(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return result;
        }
        default:
            break;
    }
    return DefSubclassProc(hwnd_, msg, wp, lp);
}

void Win32TreeView::RaiseMouseUp(int32_t button, int32_t shift, int32_t x, int32_t y) {
    if (events_ && programDepth_ == 0) events_->MouseUp(button, shift, x, y);
}

HTREEITEM Win32TreeView::ItemHandle(int32_t node) const {
    model_.Key(node);  // range check
    return shown_[node - 1].item;
}

HTREEITEM Win32TreeView::ShownItem(int32_t node) {
    FlushPending();
    return ItemHandle(node);
}

void Win32TreeView::FlushPending() {
    if (pending_.empty()) return;
    std::vector<int32_t> pending;
    pending.swap(pending_);
    for (int32_t node : pending) Reveal(node);
}

int32_t Win32TreeView::PositionOf(HTREEITEM item) const {
    if (!item) return 0;
    TVITEMW tv{};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!TreeView_GetItem(hwnd_, &tv)) return 0;
    auto position = static_cast<int32_t>(tv.lParam);
    // A handle posted before a Clear may since name another item.
    if (position < 1 || position > static_cast<int32_t>(shown_.size()) ||
        shown_[position - 1].item != item)
        return 0;
    return position;
}

UINT Win32TreeView::State(HTREEITEM item, UINT mask) const {
    return TreeView_GetItemState(hwnd_, item, mask);
}

void Win32TreeView::SetState(HTREEITEM item, UINT state, UINT mask) {
    ProgramChange change(*this);
    HoldRedraw();
    TreeView_SetItemState(hwnd_, item, state, mask);
}

int Win32TreeView::ImageIndex(const std::wstring& key) const {
    for (size_t i = 0; i < imageKeys_.size(); ++i)
        if (imageKeys_[i] == key) return static_cast<int>(i);
    return I_IMAGENONE;
}

void Win32TreeView::HoldRedraw() {
    // A visible node costs the control a repaint of its own at every change (milliseconds
    // each under Wine); the program's changes come in runs, so draw once after the run.
    if (redrawHeld_) return;
    redrawHeld_ = true;
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    // Wine's control keeps itself visible through its own WM_SETREDRAW and then pays
    // milliseconds for every item it changes; what the system does for other windows (clear
    // WS_VISIBLE without hiding anything) makes each change cost microseconds.
    DefWindowProcW(hwnd_, WM_SETREDRAW, FALSE, 0);
    PostMessageW(hwnd_, kResumeRedraw, 0, 0);
}

void Win32TreeView::Reveal(int32_t top) {
    ProgramChange change(*this);
    HoldRedraw();
    // Breadth first, so that siblings enter in their order and parents before children;
    // no recursion, however deep the tree.
    std::vector<int32_t> queue{top};
    for (size_t next = 0; next < queue.size(); ++next) {
        const int32_t node = queue[next];
        if (shown_[node - 1].item) continue;
        const int32_t parent = model_.Parent(node);
        const std::vector<int32_t> children = model_.Children(node);
        const bool expanded = model_.Expanded(node);
        const std::wstring text = model_.Text(node);
        const int image = ImageIndex(model_.Image(node));

        TVINSERTSTRUCTW insert{};
        insert.hParent = parent ? shown_[parent - 1].item : TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = const_cast<wchar_t*>(text.c_str());
        insert.item.lParam = node;
        // One call with every property: each call costs a search through all items on Wine.
        insert.item.state = (model_.Checked(node) ? kChecked : kUnchecked) |
                            (model_.Bold(node) ? TVIS_BOLD : 0) | (expanded ? TVIS_EXPANDED : 0);
        insert.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_BOLD | TVIS_EXPANDED;
        insert.item.iImage = image;
        insert.item.iSelectedImage = image;
        if (!children.empty() && !expanded) {
            // Shows the button that lets the user ask for the children.
            insert.item.mask |= TVIF_CHILDREN;
            insert.item.cChildren = 1;
        }
        HTREEITEM item = TreeView_InsertItem(hwnd_, &insert);
        if (!item) throw std::runtime_error("tree view: the control refused a node");
        shown_[node - 1].item = item;
        if (expanded) {
            shown_[node - 1].filled = true;
            queue.insert(queue.end(), children.begin(), children.end());
        }
    }
}

void Win32TreeView::Fill(int32_t node) {
    Shown& shown = shown_[node - 1];
    if (shown.filled) return;
    shown.filled = true;
    for (int32_t child : model_.Children(node)) Reveal(child);
}

void Win32TreeView::ExpandShown(int32_t node, bool expanded) {
    ProgramChange change(*this);
    HoldRedraw();
    FlushPending();
    HTREEITEM item = shown_[node - 1].item;
    if (expanded) Fill(node);
    if (TreeView_GetChild(hwnd_, item)) {
        TreeView_Expand(hwnd_, item, expanded ? TVE_EXPAND : TVE_COLLAPSE);
    } else {
        // The control refuses to expand a node without children; the flag still has to stick
        // so that children added later show.
        TreeView_SetItemState(hwnd_, item, expanded ? TVIS_EXPANDED : 0, TVIS_EXPANDED);
    }
}

void Win32TreeView::Clear() {
    ProgramChange change(*this);
    HoldRedraw();
    TreeView_DeleteAllItems(hwnd_);
    model_.Clear();
    shown_.clear();
    pending_.clear();
    revealOnResume_ = 0;
    ++clears_;
}

int32_t Win32TreeView::Add(const std::wstring& relativeKey, const std::wstring& key,
                           const std::wstring& text) {
    const int32_t position = model_.Add(relativeKey, key, text);  // throws for a bad key
    shown_.emplace_back();
    const int32_t parent = model_.Parent(position);
    if (parent == 0 || shown_[parent - 1].filled) {
        // Entered at the end of the run, with whatever the program sets on it meanwhile: one
        // call to the control instead of one per property.
        pending_.push_back(position);
        HoldRedraw();
    } else if (HTREEITEM item = shown_[parent - 1].item;
               item && model_.Children(parent).size() == 1) {
        TVITEMW tv{};
        tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
        tv.hItem = item;
        tv.cChildren = 1;
        ProgramChange change(*this);
        TreeView_SetItem(hwnd_, &tv);
    }
    return position;
}

int32_t Win32TreeView::Count() const { return model_.Count(); }

int32_t Win32TreeView::Find(const std::wstring& key) const { return model_.Find(key); }

int32_t Win32TreeView::Parent(int32_t node) const { return model_.Parent(node); }

std::wstring Win32TreeView::Key(int32_t node) const { return model_.Key(node); }

// Reads come from the control wherever the node is in it, so that the tests see what the
// user sees.
std::wstring Win32TreeView::Text(int32_t node) const {
    HTREEITEM item = ItemHandle(node);
    if (!item) return model_.Text(node);
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
    model_.SetText(node, text);
    if (HTREEITEM item = ItemHandle(node)) {
        TVITEMW tv{};
        tv.mask = TVIF_TEXT | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = const_cast<wchar_t*>(text.c_str());
        ProgramChange change(*this);
        HoldRedraw();
        TreeView_SetItem(hwnd_, &tv);
    }
}

std::wstring Win32TreeView::Image(int32_t node) const {
    HTREEITEM item = ItemHandle(node);
    if (!item) return model_.Image(node);
    TVITEMW tv{};
    tv.mask = TVIF_IMAGE | TVIF_HANDLE;
    tv.hItem = item;
    if (!TreeView_GetItem(hwnd_, &tv)) return L"";
    if (tv.iImage < 0 || tv.iImage >= static_cast<int>(imageKeys_.size())) return L"";
    return imageKeys_[tv.iImage];
}

void Win32TreeView::SetImage(int32_t node, const std::wstring& imageKey) {
    model_.SetImage(node, imageKey);
    if (HTREEITEM item = ItemHandle(node)) {
        const int index = ImageIndex(imageKey);
        TVITEMW tv{};
        tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
        tv.hItem = item;
        tv.iImage = index;
        tv.iSelectedImage = index;
        ProgramChange change(*this);
        HoldRedraw();
        TreeView_SetItem(hwnd_, &tv);
    }
}

bool Win32TreeView::Checked(int32_t node) const {
    // Unlike the other reads, from the model: every change of a box passes through it (the
    // user's are read back when reported), and a refresh reads every box of the project.
    return model_.Checked(node);
}

void Win32TreeView::SetChecked(int32_t node, bool checked) {
    // The model follows every change of the box, the user's included (ReportCheck), so an
    // unchanged state costs no message: Wine looks each item handle up by a linear search.
    if (model_.Checked(node) == checked) return;
    model_.SetChecked(node, checked);
    if (HTREEITEM item = ItemHandle(node))
        SetState(item, checked ? kChecked : kUnchecked, TVIS_STATEIMAGEMASK);
}

bool Win32TreeView::Expanded(int32_t node) const {
    HTREEITEM item = ItemHandle(node);
    return item ? (State(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0 : model_.Expanded(node);
}

void Win32TreeView::SetExpanded(int32_t node, bool expanded) {
    model_.SetExpanded(node, expanded);
    if (ItemHandle(node)) ExpandShown(node, expanded);  // a pending node enters as it is
}

bool Win32TreeView::Bold(int32_t node) const {
    HTREEITEM item = ItemHandle(node);
    return item ? (State(item, TVIS_BOLD) & TVIS_BOLD) != 0 : model_.Bold(node);
}

void Win32TreeView::SetBold(int32_t node, bool bold) {
    model_.SetBold(node, bold);
    if (HTREEITEM item = ItemHandle(node)) SetState(item, bold ? TVIS_BOLD : 0, TVIS_BOLD);
}

void Win32TreeView::EnsureVisible(int32_t node) {
    model_.EnsureVisible(node);  // expands every ancestor in the model
    FlushPending();
    std::vector<int32_t> ancestors;
    for (int32_t p = model_.Parent(node); p != 0; p = model_.Parent(p)) ancestors.push_back(p);
    // From the top down: each one is in the control once its parent is filled.
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) ExpandShown(*it, true);
    FlushPending();
    // The control does not scroll while it does not draw; the last node revealed in a run
    // is scrolled to when drawing resumes.
    revealOnResume_ = node;
    if (!redrawHeld_) ScrollToReveal();
}

void Win32TreeView::ScrollToReveal() {
    const int32_t node = revealOnResume_;
    revealOnResume_ = 0;
    if (node < 1 || node > static_cast<int32_t>(shown_.size()) || !shown_[node - 1].item) return;
    ProgramChange change(*this);
    TreeView_EnsureVisible(hwnd_, shown_[node - 1].item);
}

void Win32TreeView::SetRecord(int32_t node, ObjectRef record) {
    model_.SetRecord(node, std::move(record));
}

const ObjectRef& Win32TreeView::Record(int32_t node) const { return model_.Record(node); }

void Win32TreeView::SetEvents(TreeViewEvents* events) { events_ = events; }

void Win32TreeView::ReportCheck(HTREEITEM item) {
    int32_t node = PositionOf(item);
    if (!node) return;
    model_.SetChecked(node, State(item, TVIS_STATEIMAGEMASK) == kChecked);
    if (events_) events_->NodeCheck(node);
}

bool Win32TreeView::OnNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != hwnd_) return false;
    // Whatever the user acts on must be in the control. (Deleting items notifies too, with
    // the model already changed: nothing to enter then.)
    if (header.code != TVN_DELETEITEMW) FlushPending();
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
        case TVN_ITEMEXPANDINGW: {
            // The children of a node enter the control when it is first opened.
            const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
            if (info.action & TVE_EXPAND)
                if (int32_t node = PositionOf(info.itemNew.hItem)) Fill(node);
            result = FALSE;
            return true;
        }
        case TVN_ITEMEXPANDEDW: {
            const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
            int32_t node = PositionOf(info.itemNew.hItem);
            if (!node) return true;
            const bool expanded = (State(info.itemNew.hItem, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
            model_.SetExpanded(node, expanded);
            if (!user) return true;
            if (expanded)
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
            const int32_t node = PositionOf(info.item.hItem);
            const bool cancelled = info.item.pszText == nullptr;
            const std::wstring text = cancelled ? std::wstring() : std::wstring(info.item.pszText);
            const uint64_t clears = clears_;
            const bool accepted = !node || !user || events_->AfterLabelEdit(node, cancelled, text);
            // The handler may have emptied the tree; then there is no label left to change.
            const bool keep = accepted && !cancelled && node && clears == clears_;
            if (keep) model_.SetText(node, text);
            result = keep ? TRUE : FALSE;  // TRUE: the control takes the new label
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
