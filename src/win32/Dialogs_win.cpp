#include "win32/Dialogs_win.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/dialogs/ModalDialog.h"
#include "win32/Images_win.h"
#include "win32/Prompts_win.h"
#include "win32/SystemError.h"
#include "win32/TreeView_win.h"

namespace prowl::win32 {
namespace {

constexpr COLORREF kWarningText = RGB(192, 0, 0);
// Posted once a drop-down list has closed, so that the choice is taken after the control's
// own handling, whatever order it sends its notifications in.
constexpr UINT kDriveListClosed = WM_APP + 1;

bool IsLabel(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::CaptionLabel ||
           kind == ControlKind::WarningLabel;
}

bool HasText(ControlKind kind) { return IsLabel(kind) || kind == ControlKind::Button; }

// The width of each dialog's content in dialog units: wide enough that its texts read in a
// few lines and its paths mostly fit.
int ContentWidthDlu(const std::wstring& form) {
    if (form == L"frmRedigExcluded") return 330;
    if (form == L"frmAbout") return 280;
    if (form == L"frmFileDetails") return 300;
    if (form == L"frmProjectDetails") return 180;
    return 210;
}

// Enter in a folder list opens the highlighted folder, as a double click does, instead of
// pressing the default button (which stays disabled until a folder has been opened).
LRESULT CALLBACK FolderListKeys(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    const auto* key = reinterpret_cast<const MSG*>(lp);
    if (msg == WM_GETDLGCODE && key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
        return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, msg, wp, lp);
    if (msg == WM_KEYDOWN && wp == VK_RETURN) {
        SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
    if (msg == WM_CHAR && wp == L'\r') return 0;  // no search for a line break
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// A dialog box with a frame and a caption and no controls: they are made from the logic.
std::vector<WORD> EmptyTemplate(const std::wstring& caption) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    words.push_back(0);  // no menu
    words.push_back(0);  // the system's dialog class
    for (wchar_t c : caption) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    return words;
}

class DialogWindow {
  public:
    explicit DialogWindow(ModalDialog& logic) : logic_(logic) {}
    ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    std::exception_ptr error;

  private:
    struct Shown {
        HWND hwnd = nullptr;
        DialogControl state;  // as last mirrored
        bool mirrored = false;
        std::unique_ptr<Win32TreeView> tree;
    };

    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
    void Init();
    void CreateControls();
    void Mirror();
    void MirrorItems(Shown& shown, const DialogControl& want);
    void OnCommand(int id, int code);
    void ListSelected(size_t index, bool open);
    int IndexOf(HWND control) const;
    void DrawDirectoryItem(const DRAWITEMSTRUCT& item);

    // Layout, in pixels of the message font's own dialog units.
    int X(int dlu) const { return MulDiv(dlu, baseX_, 4); }
    int Y(int dlu) const { return MulDiv(dlu, baseY_, 8); }
    int TextWidth(size_t index) const;
    int Height(size_t index, int width) const;
    int ButtonWidth(size_t index) const;
    int Place(size_t index, int x, int y, int width);  // returns the height taken
    void Layout();
    int LayoutRows(int right);
    int LayoutAbout(int right);
    void FitAndCenter(int clientWidth, int clientHeight);

    ModalDialog& logic_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    HFONT bold_ = nullptr;
    HIMAGELIST images_ = nullptr;
    HICON icon_ = nullptr;
    int baseX_ = 6;
    int baseY_ = 13;
    int itemHeight_ = 16;
    std::vector<Shown> shown_;
    std::unique_ptr<Win32Prompts> prompts_;
    Prompts* previousPrompts_ = nullptr;
    bool routed_ = false;
};

DialogWindow::~DialogWindow() {
    if (routed_) logic_.RoutePrompts(previousPrompts_);
    shown_.clear();  // the trees, before the images they draw with
    if (images_) ImageList_Destroy(images_);
    if (bold_) DeleteObject(bold_);
    if (font_) DeleteObject(font_);
}

INT_PTR CALLBACK DialogWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    DialogWindow* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<DialogWindow*>(lp);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    try {
        return self->Handle(msg, wp, lp);
    } catch (...) {
        // Nothing may cross into the system's code: the dialog ends, and ShowModal throws
        // the error again on the caller's side.
        if (!self->error) self->error = std::current_exception();
        EndDialog(hwnd, IDABORT);
        return TRUE;
    }
}

INT_PTR DialogWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            Init();
            return FALSE;  // Init has set the focus
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            Mirror();
            return TRUE;
        case kDriveListClosed:
            if (wp < shown_.size()) ListSelected(wp, false);
            Mirror();
            return TRUE;
        case WM_CLOSE:
            logic_.Dismiss();
            Mirror();
            return TRUE;
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lp);
            for (auto& shown : shown_) {
                LRESULT result = 0;
                if (shown.tree && shown.tree->OnNotify(header, result)) {
                    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
                    return TRUE;
                }
            }
            return FALSE;
        }
        case WM_CTLCOLORSTATIC: {
            const int index = IndexOf(reinterpret_cast<HWND>(lp));
            if (index < 0 || shown_[index].state.kind != ControlKind::WarningLabel) return FALSE;
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, kWarningText);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_MEASUREITEM: {
            auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            if (measure.CtlType != ODT_LISTBOX) return FALSE;
            measure.itemHeight = static_cast<UINT>(itemHeight_);
            return TRUE;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item.CtlType != ODT_LISTBOX) return FALSE;
            DrawDirectoryItem(item);
            return TRUE;
        }
        case WM_DESTROY:
            // The trees take their subclass off while their windows still exist.
            for (auto& shown : shown_) shown.tree.reset();
            return FALSE;
        default:
            return FALSE;
    }
}

void DialogWindow::Init() {
    prompts_ = std::make_unique<Win32Prompts>(hwnd_);
    previousPrompts_ = logic_.RoutePrompts(prompts_.get());
    routed_ = true;

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    LOGFONTW bold = metrics.lfMessageFont;
    bold.lfWeight = FW_BOLD;
    bold_ = CreateFontIndirectW(&bold);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

    // The dialog units of the message font: a quarter of its average letter width and an
    // eighth of its height, so every size follows the font and with it the screen's DPI.
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SIZE letters{};
    const wchar_t alphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32W(dc, alphabet, 52, &letters);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    baseX_ = std::max(1, static_cast<int>((letters.cx / 26 + 1) / 2));
    baseY_ = std::max(1, static_cast<int>(tm.tmHeight));

    const auto& controls = logic_.Controls();
    const bool lists = std::any_of(controls.begin(), controls.end(), [](const auto& c) {
        return c.kind == ControlKind::TreeList || c.kind == ControlKind::DirectoryList;
    });
    if (lists) {
        images_ = CreateTreeImageList();
        int w = 0, h = 0;
        ImageList_GetIconSize(images_, &w, &h);
        itemHeight_ = std::max(baseY_, h) + 2;
    }

    CreateControls();
    Mirror();
    Layout();

    // The default button when it can be pressed, else the first control that takes input.
    HWND focus = nullptr;
    for (const auto& shown : shown_)
        if (shown.state.isDefault && shown.state.enabled) focus = shown.hwnd;
    if (!focus) focus = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (focus) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
}

void DialogWindow::CreateControls() {
    const auto& controls = logic_.Controls();
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    shown_.resize(controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const DialogControl& control = controls[i];
        const int id = kFirstDialogControlId + static_cast<int>(i);
        Shown& shown = shown_[i];
        const wchar_t* cls = WC_STATICW;
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        switch (control.kind) {
            case ControlKind::Label:
            case ControlKind::CaptionLabel:
            case ControlKind::WarningLabel:
                // No prefix: a path may hold an ampersand. Long words such as paths break
                // where they must, as in an edit control.
                style |= SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL;
                break;
            case ControlKind::Separator:
                style |= SS_ETCHEDHORZ;
                break;
            case ControlKind::Icon:
                style |= SS_ICON | SS_REALSIZEIMAGE;
                break;
            case ControlKind::Button:
                cls = WC_BUTTONW;
                style |= WS_TABSTOP | (control.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
                break;
            case ControlKind::DriveList:
                cls = WC_COMBOBOXW;
                style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
                break;
            case ControlKind::DirectoryList:
                cls = WC_LISTBOXW;
                style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                         LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case ControlKind::TreeList:
                break;
        }
        if (control.kind == ControlKind::TreeList) {
            shown.tree = std::make_unique<Win32TreeView>(hwnd_, id, images_, TreeImageKeys(),
                                                         TreeViewOptions{});
            shown.hwnd = shown.tree->Handle();
            // A flat list: no lines or buttons to draw between top-level nodes.
            SetWindowLongPtrW(shown.hwnd, GWL_STYLE,
                              GetWindowLongPtrW(shown.hwnd, GWL_STYLE) &
                                  ~(TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS));
        } else {
            shown.hwnd = CreateWindowExW(exStyle, cls, L"", style, 0, 0, 10, 10, hwnd_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         instance, nullptr);
            if (!shown.hwnd) ThrowSystemError(GetLastError());
            if (control.kind == ControlKind::DirectoryList)
                SetWindowSubclass(shown.hwnd, FolderListKeys, 1, 0);
        }
        const HFONT font = control.kind == ControlKind::CaptionLabel ? bold_ : font_;
        SendMessageW(shown.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (control.kind == ControlKind::Icon) {
            // The exe carries its icon as resource 1; a test program has none.
            icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                  GetSystemMetrics(SM_CYICON), LR_SHARED));
            if (!icon_) icon_ = LoadIconW(nullptr, IDI_APPLICATION);
            SendMessageW(shown.hwnd, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
        }
        if (control.kind == ControlKind::Button && control.isDefault)
            SendMessageW(hwnd_, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    }
}

void DialogWindow::Mirror() {
    const auto& controls = logic_.Controls();
    for (size_t i = 0; i < controls.size() && i < shown_.size(); ++i) {
        const DialogControl& want = controls[i];
        Shown& shown = shown_[i];
        if (shown.mirrored && shown.state == want) continue;
        if (HasText(want.kind) && (!shown.mirrored || shown.state.text != want.text))
            SetWindowTextW(shown.hwnd, want.text.c_str());
        if (!shown.mirrored || shown.state.enabled != want.enabled) {
            // A control that loses its input must not keep the keyboard with it.
            if (!want.enabled && GetFocus() == shown.hwnd)
                SendMessageW(hwnd_, WM_NEXTDLGCTL, 0, FALSE);
            EnableWindow(shown.hwnd, want.enabled);
        }
        const bool itemsChanged = !shown.mirrored || shown.state.items != want.items;
        if (itemsChanged) MirrorItems(shown, want);
        if (itemsChanged || shown.state.selected != want.selected) {
            if (want.kind == ControlKind::DriveList)
                SendMessageW(shown.hwnd, CB_SETCURSEL, static_cast<WPARAM>(want.selected), 0);
            else if (want.kind == ControlKind::DirectoryList)
                SendMessageW(shown.hwnd, LB_SETCURSEL, static_cast<WPARAM>(want.selected), 0);
        }
        shown.state = want;
        shown.mirrored = true;
    }
    if (logic_.Closed()) EndDialog(hwnd_, IDOK);
}

void DialogWindow::MirrorItems(Shown& shown, const DialogControl& want) {
    switch (want.kind) {
        case ControlKind::DriveList:
            SendMessageW(shown.hwnd, CB_RESETCONTENT, 0, 0);
            for (const auto& item : want.items)
                SendMessageW(shown.hwnd, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(item.text.c_str()));
            break;
        case ControlKind::DirectoryList:
            SendMessageW(shown.hwnd, WM_SETREDRAW, FALSE, 0);
            SendMessageW(shown.hwnd, LB_RESETCONTENT, 0, 0);
            for (const auto& item : want.items)
                SendMessageW(shown.hwnd, LB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(item.text.c_str()));
            SendMessageW(shown.hwnd, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(shown.hwnd, nullptr, TRUE);
            break;
        case ControlKind::TreeList:
            // Each node enters the control with its image in one call at the end of the run.
            shown.tree->Clear();
            for (const auto& item : want.items)
                shown.tree->SetImage(shown.tree->Add(L"", item.key, item.text), item.image);
            break;
        default:
            break;
    }
}

int DialogWindow::IndexOf(HWND control) const {
    for (size_t i = 0; i < shown_.size(); ++i)
        if (shown_[i].hwnd == control) return static_cast<int>(i);
    return -1;
}

void DialogWindow::OnCommand(int id, int code) {
    if (id == IDCANCEL) {  // Escape
        logic_.Dismiss();
        return;
    }
    const int index = id - kFirstDialogControlId;
    if (index < 0 || index >= static_cast<int>(shown_.size())) return;
    const Shown& shown = shown_[index];
    const DialogControl& control = shown.state;
    switch (control.kind) {
        case ControlKind::Button:
            if (code == BN_CLICKED) logic_.Click(control.name);
            break;
        case ControlKind::DriveList:
            if (code == CBN_CLOSEUP)
                PostMessageW(hwnd_, kDriveListClosed, static_cast<WPARAM>(index), 0);
            else if (code == CBN_SELCHANGE && !SendMessageW(shown.hwnd, CB_GETDROPPEDSTATE, 0, 0))
                ListSelected(static_cast<size_t>(index), false);
            break;
        case ControlKind::DirectoryList:
            if (code == LBN_SELCHANGE || code == LBN_DBLCLK)
                ListSelected(static_cast<size_t>(index), code == LBN_DBLCLK);
            break;
        default:
            break;
    }
}

void DialogWindow::ListSelected(size_t index, bool open) {
    Shown& shown = shown_[index];
    const UINT get = shown.state.kind == ControlKind::DriveList ? CB_GETCURSEL : LB_GETCURSEL;
    const auto selected = static_cast<int32_t>(SendMessageW(shown.hwnd, get, 0, 0));
    // The user moved the control's selection: it is the control's now, so that a choice the
    // logic refuses is put back when the logic is mirrored again.
    shown.state.selected = selected;
    if (open)
        logic_.Open(shown.state.name, selected);
    else
        logic_.Select(shown.state.name, selected);
}

void DialogWindow::DrawDirectoryItem(const DRAWITEMSTRUCT& draw) {
    const int index = IndexOf(draw.hwndItem);
    if (index < 0) return;
    HDC dc = draw.hDC;
    RECT rc = draw.rcItem;
    const auto& items = shown_[index].state.items;
    if (draw.itemID < items.size()) {
        const bool selected = (draw.itemState & ODS_SELECTED) != 0;
        FillRect(dc, &rc, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const DialogItem& item = items[draw.itemID];
        int w = 0, h = 0;
        ImageList_GetIconSize(images_, &w, &h);
        int x = rc.left + X(2) + item.indent * X(5);
        ImageList_Draw(images_, 0 /* the folder */, dc, x, rc.top + (rc.bottom - rc.top - h) / 2,
                       ILD_TRANSPARENT);
        x += w + X(2);
        RECT text{x, rc.top, rc.right, rc.bottom};
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        HGDIOBJ old = SelectObject(dc, font_);
        DrawTextW(dc, item.text.c_str(), -1, &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, old);
    }
    if (draw.itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
}

int DialogWindow::TextWidth(size_t index) const {
    const DialogControl& control = shown_[index].state;
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, control.kind == ControlKind::CaptionLabel ? bold_ : font_);
    SIZE size{};
    GetTextExtentPoint32W(dc, control.text.c_str(), static_cast<int>(control.text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return size.cx;
}

int DialogWindow::ButtonWidth(size_t index) const {
    return std::max(X(50), TextWidth(index) + X(10));
}

int DialogWindow::Height(size_t index, int width) const {
    const DialogControl& control = shown_[index].state;
    const int edges = 2 * GetSystemMetrics(SM_CYEDGE);
    switch (control.kind) {
        case ControlKind::Separator:
            return 2;
        case ControlKind::Icon:
            return GetSystemMetrics(SM_CYICON);
        case ControlKind::Button:
            return Y(14);
        case ControlKind::DriveList: {
            RECT rc;
            GetWindowRect(shown_[index].hwnd, &rc);  // a closed drop-down list sizes itself
            return rc.bottom - rc.top;
        }
        case ControlKind::DirectoryList:
            return control.lines * itemHeight_ + edges;
        case ControlKind::TreeList:
            return control.lines * (itemHeight_ + 1) + edges;
        default: {
            HDC dc = GetDC(hwnd_);
            HGDIOBJ old =
                SelectObject(dc, control.kind == ControlKind::CaptionLabel ? bold_ : font_);
            RECT rc{0, 0, width, 0};
            DrawTextW(dc, control.text.c_str(), static_cast<int>(control.text.size()), &rc,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
            SelectObject(dc, old);
            ReleaseDC(hwnd_, dc);
            return std::max<int>(control.lines * baseY_, rc.bottom);
        }
    }
}

int DialogWindow::Place(size_t index, int x, int y, int width) {
    const int height = Height(index, width);
    // A drop-down list is given room for its list below it as well.
    const int room =
        shown_[index].state.kind == ControlKind::DriveList ? height + 10 * itemHeight_ : height;
    MoveWindow(shown_[index].hwnd, x, y, width, room, FALSE);
    return height;
}

// Rows from top to bottom: a control of column 0 starts a row, the others follow it to the
// right, aligned with the same column of every other row; the last one of a row takes the
// rest of the width. The buttons sit at the bottom right, in their order.
int DialogWindow::LayoutRows(int right) {
    const int margin = X(7);
    std::vector<size_t> buttons, items;
    for (size_t i = 0; i < shown_.size(); ++i)
        (shown_[i].state.kind == ControlKind::Button ? buttons : items).push_back(i);

    auto lastInRow = [&](size_t k) {
        return k + 1 == items.size() || shown_[items[k + 1]].state.column == 0;
    };
    std::vector<int> widths;
    for (size_t k = 0; k < items.size(); ++k) {
        const auto column = static_cast<size_t>(shown_[items[k]].state.column);
        if (widths.size() <= column) widths.resize(column + 1, 0);
        if (!lastInRow(k))
            widths[column] = std::max({widths[column], TextWidth(items[k]), column ? X(24) : 0});
    }
    std::vector<int> lefts(widths.size() + 1, margin);
    for (size_t c = 0; c < widths.size(); ++c) lefts[c + 1] = lefts[c] + widths[c] + X(6);

    int y = Y(7);
    for (size_t k = 0; k < items.size();) {
        int rowHeight = 0;
        const size_t first = k;
        for (;; ++k) {
            const auto column = static_cast<size_t>(shown_[items[k]].state.column);
            const int left = lefts[column];
            const int width = (lastInRow(k) ? right : lefts[column] + widths[column]) - left;
            rowHeight = std::max(rowHeight, Place(items[k], left, y, width));
            if (lastInRow(k)) break;
        }
        ++k;
        const ControlKind kind = shown_[items[first]].state.kind;
        const bool alone = k == first + 1;
        const ControlKind next =
            k < items.size() ? shown_[items[k]].state.kind : ControlKind::Button;
        const bool labelOverList =
            alone && kind == ControlKind::CaptionLabel &&
            (next == ControlKind::DriveList || next == ControlKind::DirectoryList ||
             next == ControlKind::TreeList);
        int gap = Y(labelOverList ? 2 : 4);
        if (kind == ControlKind::Separator || next == ControlKind::Separator) gap = Y(6);
        y += rowHeight + gap;
    }
    if (!items.empty() && shown_[items.back()].state.kind != ControlKind::Separator) y += Y(3);

    int x = right;
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
        const int width = ButtonWidth(*it);
        x -= width;
        Place(*it, x, y, width);
        x -= X(4);
    }
    return y + (buttons.empty() ? 0 : Y(14)) + Y(7);
}

// The icon at the top left with the title, version and description beside it; the rule;
// the warning below it on the left and the buttons above each other on the right.
int DialogWindow::LayoutAbout(int right) {
    const int margin = X(7);
    auto at = [&](const wchar_t* name) {
        for (size_t i = 0; i < shown_.size(); ++i)
            if (shown_[i].state.name == name) return i;
        throw std::out_of_range("about box: no such control");
    };
    const int icon = GetSystemMetrics(SM_CXICON);
    int y = Y(7);
    Place(at(L"Image1"), margin, y, icon);
    const int textLeft = margin + icon + X(10);
    y += Place(at(L"lblTitle"), textLeft, y, right - textLeft) + Y(2);
    y += Place(at(L"lblVersion"), textLeft, y, right - textLeft) + Y(6);
    y += Place(at(L"lblDescription"), textLeft, y, right - textLeft);
    y = std::max(y, Y(7) + GetSystemMetrics(SM_CYICON)) + Y(8);
    y += Place(at(L"Line1"), margin, y, right - margin) + Y(8);

    const size_t ok = at(L"cmdOK"), sysInfo = at(L"cmdSysInfo");
    const int buttonWidth = std::max(ButtonWidth(ok), ButtonWidth(sysInfo));
    const int buttonLeft = right - buttonWidth;
    const int buttonsBottom = y + Place(ok, buttonLeft, y, buttonWidth) + Y(4);
    const int bottom =
        std::max(buttonsBottom + Place(sysInfo, buttonLeft, buttonsBottom, buttonWidth),
                 y + Place(at(L"lblDisclaimer"), margin, y, buttonLeft - X(10) - margin));
    return bottom + Y(7);
}

void DialogWindow::Layout() {
    const int right = X(7) + X(ContentWidthDlu(logic_.Form()));
    const int height = logic_.Form() == L"frmAbout" ? LayoutAbout(right) : LayoutRows(right);
    FitAndCenter(right + X(7), height);
}

void DialogWindow::FitAndCenter(int clientWidth, int clientHeight) {
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Over the middle of the owner, inside the screen that holds it.
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT around = monitor.rcWork;
    if (owner && IsWindowVisible(owner)) GetWindowRect(owner, &around);
    int x = (around.left + around.right - width) / 2;
    int y = (around.top + around.bottom - height) / 2;
    x = std::max<int>(monitor.rcWork.left, std::min<int>(x, monitor.rcWork.right - width));
    y = std::max<int>(monitor.rcWork.top, std::min<int>(y, monitor.rcWork.bottom - height));
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void Win32DialogHost::ShowModal(ModalDialog& dialog) {
    DialogWindow window(dialog);
    dialog.Opened();
    const std::vector<WORD> dialogTemplate = EmptyTemplate(dialog.Caption());
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
        owner_, DialogWindow::Proc, reinterpret_cast<LPARAM>(&window));
    if (window.error) std::rethrow_exception(window.error);
    if (result == -1) ThrowSystemError(GetLastError());
}

}  // namespace prowl::win32
