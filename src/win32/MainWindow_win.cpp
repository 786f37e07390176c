#include "win32/MainWindow_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <string>

#include "model/ProwlError.h"
#include "registration/Launcher.h"
#include "ui/MainWindowTexts.h"
#include "win32/Images_win.h"
#include "win32/Settings_win.h"
#include "win32/SystemError.h"

namespace prowl::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"ActiveXProwlMain";
constexpr UINT_PTR kStatusTimer = 1;
constexpr wchar_t kSessionBlockedReason[] =
    L"A command is still running, or the project has unsaved changes.";
constexpr UINT kOpenAtStart = WM_APP + 0x60;

enum ControlId : int {
    kIdToolbar = 100,
    kIdTree,
    kIdFilePath,
    kIdSourceFileBar,
    kIdActionBar,
    kIdProgress,
    kIdLabel1,
    kIdLabel2,
    kIdLabel3,
};

HWND MakeChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id,
               DWORD exStyle = 0) {
    HWND hwnd = CreateWindowExW(
        exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!hwnd) ThrowSystemError(GetLastError());
    return hwnd;
}

SIZE TextExtent(HWND hwnd, HFONT font, const wchar_t* text) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size;
}

LPCWSTR CursorFor(int32_t pointer) {
    switch (pointer) {
        case kPointerHourglass:
            return IDC_WAIT;
        case kPointerArrowHourglass:
            return IDC_APPSTARTING;
        default:
            return IDC_ARROW;
    }
}

}  // namespace

class MainWindow::FilePathBoxView final : public TextBoxView {
  public:
    explicit FilePathBoxView(HWND box) : box_(box) {}
    void SetText(const std::wstring& text) override { SetWindowTextW(box_, text.c_str()); }
    std::wstring Text() const override {
        std::wstring text(GetWindowTextLengthW(box_) + 1, L'\0');
        text.resize(GetWindowTextW(box_, text.data(), static_cast<int>(text.size())));
        return text;
    }

  private:
    HWND box_;
};

std::unique_ptr<MainWindow> MainWindow::Create(HINSTANCE instance, ProjectState& state, int showCmd,
                                               SettingsStore* settings) {
    static const bool registered = [instance] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        // The exe carries the icon as resource 1; a test program has none.
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc) != 0;
    }();
    if (!registered) ThrowSystemError(GetLastError());

    std::unique_ptr<MainWindow> window(new MainWindow());
    window->instance_ = instance;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    HWND hwnd = CreateWindowExW(0, kWindowClass, kMainCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, MulDiv(560, dpi, 96), MulDiv(620, dpi, 96), nullptr,
                                nullptr, instance, window.get());
    if (!hwnd) {
        if (window->creationFailure_) std::rethrow_exception(window->creationFailure_);
        ThrowSystemError(GetLastError());
    }

    MainWindow& w = *window;
    w.filePathView_ = std::make_unique<FilePathBoxView>(w.filePath_);
    w.logic_ = std::make_unique<MainWindowLogic>(
        state, MainWindowControls{*w.commands_, *w.panels_, *w.panels_, *w.filePathView_, *w.tree_,
                                  *w.prompts_, w, w.files_});
    w.logic_->Start();
    w.treeGestures_ = std::make_unique<Win32TreeGestures>(*w.tree_);
    w.clipboard_ = std::make_unique<Win32Clipboard>(hwnd);
    w.logic_->ProjectTree().SetKeyboard(w.treeGestures_.get(), w.clipboard_.get());
    w.services_ = std::make_unique<Win32ProgramServices>(hwnd, w.files_);
    w.programCommands_ = std::make_unique<ProgramCommands>(*w.logic_, w.services_->Services());
    w.panels_->Flush();

    // The shortcuts a Windows user expects, running the same commands as the menu.
    struct Shortcut {
        BYTE flags;
        WORD key;
        const wchar_t* item;
    };
    const Shortcut shortcuts[] = {
        {FVIRTKEY | FCONTROL, 'N', L"mnuFileNew"},
        {FVIRTKEY | FCONTROL, 'O', L"mnuFileOpen"},
        {FVIRTKEY | FCONTROL, 'S', L"mnuFileSave"},
        {FVIRTKEY, VK_F5, L"mnuFileReprowl"},
    };
    std::vector<ACCEL> table;
    for (const auto& s : shortcuts)
        if (UINT id = w.commands_->MenuIdOf(s.item))
            table.push_back(ACCEL{s.flags, s.key, static_cast<WORD>(id)});
    w.accelerators_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));

    w.settings_ = settings;
    DragAcceptFiles(hwnd, TRUE);
    showCmd = w.RestorePlace(showCmd);
    w.Layout();
    ShowWindow(hwnd, showCmd);
    if (showCmd != SW_HIDE) UpdateWindow(hwnd);
    return window;
}

MainWindow::~MainWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    // The controls using them are gone with the window.
    if (treeImages_) ImageList_Destroy(treeImages_);
    if (toolbarImages_) ImageList_Destroy(toolbarImages_);
    if (font_) DeleteObject(font_);
}

void MainWindow::CreateControls() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);

    toolbarImages_ = CreateToolbarImageList();
    treeImages_ = CreateTreeImageList();

    toolbar_ = MakeChild(hwnd_, TOOLBARCLASSNAMEW, L"",
                         TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, kIdToolbar);
    label2_ = MakeChild(hwnd_, WC_STATICW, kLabel2Text, SS_LEFT | SS_NOPREFIX, kIdLabel2);
    label3_ = MakeChild(hwnd_, WC_STATICW, kLabel3Text, SS_LEFT | SS_NOPREFIX, kIdLabel3);
    tree_ = std::make_unique<Win32TreeView>(hwnd_, kIdTree, treeImages_, TreeImageKeys(),
                                            TreeViewOptions{true, true});
    label1_ = MakeChild(hwnd_, WC_STATICW, kLabel1Text, SS_LEFT | SS_NOPREFIX, kIdLabel1);
    // Read-only: the user can select and copy the path but not type into it.
    filePath_ = MakeChild(hwnd_, WC_EDITW, L"", WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY,
                          kIdFilePath, WS_EX_CLIENTEDGE);
    sourceFileBar_ = MakeChild(hwnd_, STATUSCLASSNAMEW, L"",
                               CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, kIdSourceFileBar);
    actionBar_ =
        MakeChild(hwnd_, STATUSCLASSNAMEW, L"",
                  CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | SBARS_SIZEGRIP, kIdActionBar);
    // A child of SBAction, so that it always lies in front of it.
    progressBar_ =
        CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, actionBar_,
                        reinterpret_cast<HMENU>(kIdProgress), instance_, nullptr);
    if (!progressBar_) ThrowSystemError(GetLastError());

    for (HWND h :
         {label1_, label2_, label3_, filePath_, tree_->Handle(), sourceFileBar_, actionBar_})
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

    commands_ = std::make_unique<Win32CommandSwitches>(hwnd_, toolbar_, toolbarImages_);
    commands_->SetPopupAnchor(tree_->Handle());
    panels_ = std::make_unique<Win32StatusPanels>(sourceFileBar_, actionBar_, progressBar_, hwnd_,
                                                  kStatusTimer);
    prompts_ = std::make_unique<Win32Prompts>(hwnd_);
}

void MainWindow::Layout() {
    if (!hwnd_ || !toolbar_) return;
    RECT client;
    GetClientRect(hwnd_, &client);
    const int width = client.right;
    const int height = client.bottom;

    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
    RECT tb;
    GetWindowRect(toolbar_, &tb);
    const int toolbarHeight = tb.bottom - tb.top;

    TEXTMETRICW tm{};
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_);
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    const int line = tm.tmHeight;
    const int gap = std::max(4, line / 3);
    const int margin = gap * 2;
    const int inner = std::max(0, width - 2 * margin);
    const int barHeight = line + gap + 2;
    const int editHeight = line + gap + 2;

    int y = toolbarHeight + gap;
    const SIZE label2 = TextExtent(hwnd_, font_, kLabel2Text);
    const SIZE label3 = TextExtent(hwnd_, font_, kLabel3Text);
    MoveWindow(label2_, margin, y, label2.cx + 2, line, TRUE);
    MoveWindow(label3_, margin + label2.cx + gap * 2, y, std::min<int>(label3.cx + 2, inner), line,
               TRUE);
    y += line + gap;

    // From the bottom up: SBAction, SBSourceFile, the path box and its label.
    int bottom = height - barHeight;
    MoveWindow(actionBar_, 0, bottom, width, barHeight, TRUE);
    bottom -= barHeight;
    MoveWindow(sourceFileBar_, 0, bottom, width, barHeight, TRUE);
    bottom -= gap + editHeight;
    MoveWindow(filePath_, margin, bottom, inner, editHeight, TRUE);
    bottom -= line + gap / 2;
    MoveWindow(label1_, margin, bottom, inner, line, TRUE);
    bottom -= gap;

    // The tree takes whatever is left.
    MoveWindow(tree_->Handle(), margin, y, inner, std::max(0, bottom - y), TRUE);
    panels_->Layout();
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    MainWindow* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    try {
        LRESULT result = self->HandleMessage(msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    } catch (const ProwlError& e) {
        // Nothing may cross into the system's code; say what went wrong rather than vanish.
        MessageBoxW(hwnd, e.message().c_str(), kErrorCaption, MB_OK | MB_ICONERROR);
    } catch (...) {
        MessageBoxW(hwnd, kUnexpectedErrorText, kErrorCaption, MB_OK | MB_ICONERROR);
    }
    return 0;
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            try {
                CreateControls();
            } catch (...) {
                // A window without its controls must not run on: refuse, and Create throws.
                creationFailure_ = std::current_exception();
                return -1;
            }
            focus_ = tree_->Handle();
            return 0;
        case WM_ACTIVATE:
            // Taken now, while it is still there to see: the focus goes back there on return.
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) focus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            if (focus_ && IsWindow(focus_)) SetFocus(focus_);
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            HDC dc = GetDC(hwnd_);
            const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
            ReleaseDC(hwnd_, dc);
            info->ptMinTrackSize = {MulDiv(360, dpi, 96), MulDiv(320, dpi, 96)};
            return 0;
        }
        case WM_COMMAND:
            if (lp == 0 || reinterpret_cast<HWND>(lp) == toolbar_) OnCommand(LOWORD(wp));
            return 0;
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lp);
            LRESULT result = 0;
            if (tree_ && tree_->OnNotify(header, result)) return result;
            if (commands_ && commands_->OnNotify(header, result)) return result;
            return DefWindowProcW(hwnd_, msg, wp, lp);
        }
        case WM_TIMER:
            if (wp == kStatusTimer && panels_) panels_->OnTimer();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && SetCursorForPointer()) return TRUE;
            break;
        case WM_CONTEXTMENU:
            // From the keyboard (Shift+F10, the context-menu key) the place is (-1, -1): the
            // popup opens at the selected node. A mouse click on the tree has its own popup.
            if (logic_ && tree_ && reinterpret_cast<HWND>(wp) == tree_->Handle() &&
                GET_X_LPARAM(lp) == -1 && GET_Y_LPARAM(lp) == -1) {
                logic_->ProjectTree().OnKey(TreeKey::Popup);
                return 0;
            }
            break;
        case WM_DESTROY:
            StorePlace();
            break;
        case WM_DROPFILES: {
            HDROP drop = reinterpret_cast<HDROP>(wp);
            std::vector<std::wstring> paths(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
            for (UINT i = 0; i < paths.size(); ++i) {
                paths[i].resize(DragQueryFileW(drop, i, nullptr, 0) + 1);
                paths[i].resize(
                    DragQueryFileW(drop, i, paths[i].data(), static_cast<UINT>(paths[i].size())));
            }
            DragFinish(drop);
            if (logic_) logic_->OnDropFiles(paths);
            return 0;
        }
        case kOpenAtStart:
            if (logic_) logic_->OpenAtStart(startPath_);
            return 0;
        case WM_CLOSE:
            if (!logic_ || logic_->QueryClose()) DestroyWindow(hwnd_);
            return 0;
        case WM_QUERYENDSESSION: {
            ShutdownBlockReasonDestroy(hwnd_);
            const bool mayEnd = !logic_ || logic_->QueryEndSession();
            // Windows shows the reason beside the program that holds the session up.
            if (!mayEnd) ShutdownBlockReasonCreate(hwnd_, kSessionBlockedReason);
            return mayEnd ? TRUE : FALSE;
        }
        case WM_ENDSESSION:
            // Agreed to above: the program ends with the session. The loop waits for a posted
            // message, and this one was sent.
            if (wp) {
                DestroyWindow(hwnd_);
                PostQuitMessage(0);
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

int MainWindow::RestorePlace(int showCmd) {
    if (!settings_) return showCmd;
    const std::optional<WindowPlace> saved = LoadWindowPlace(*settings_);
    if (!saved) return showCmd;
    const WindowPlace place = PlaceOnScreen(*saved, Win32Screens());
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(hwnd_, &wp);
    wp.showCmd = SW_HIDE;  // shown by the caller, once laid out
    wp.rcNormalPosition = {place.left, place.top, place.left + place.width,
                           place.top + place.height};
    SetWindowPlacement(hwnd_, &wp);
    // A shortcut that asks for a minimized or maximized window has the last word.
    const bool plain = showCmd == SW_SHOWNORMAL || showCmd == SW_SHOWDEFAULT || showCmd == SW_SHOW;
    return place.maximized && plain ? SW_SHOWMAXIMIZED : showCmd;
}

void MainWindow::StorePlace() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!settings_ || !GetWindowPlacement(hwnd_, &wp)) return;
    const RECT& r = wp.rcNormalPosition;
    const bool maximized =
        IsZoomed(hwnd_) || (wp.showCmd == SW_SHOWMINIMIZED && (wp.flags & WPF_RESTORETOMAXIMIZED));
    SaveWindowPlace(*settings_, {r.left, r.top, r.right - r.left, r.bottom - r.top, maximized});
}

void MainWindow::OnCommand(UINT id) {
    if (!logic_) return;
    if (auto key = commands_->ToolbarKeyOf(id)) {
        logic_->OnToolbarButtonClick(*key);
    } else if (auto name = commands_->MenuNameOf(id)) {
        // A shortcut reaches here even when its menu item is disabled on some systems.
        if (logic_->MenuItem(*name).enabled) logic_->OnMenuClick(*name);
    }
}

bool MainWindow::PreTranslate(MSG& msg) {
    if (!hwnd_) return false;
    if (accelerators_ && TranslateAcceleratorW(hwnd_, accelerators_, &msg)) return true;
    // The tree's own keys; a label being edited has the focus in its edit box and keeps them.
    // The popup keys are taken here rather than from WM_CONTEXTMENU, which not every system
    // makes for them; their release is dropped so that it cannot ask a second time.
    if (logic_ && msg.hwnd == tree_->Handle()) {
        const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
        const bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
        const auto key =
            down || up ? TreeKeyFor(static_cast<uint32_t>(msg.wParam), GetKeyState(VK_CONTROL) < 0,
                                    GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_MENU) < 0)
                       : std::nullopt;
        if (key && up && *key == TreeKey::Popup) return true;
        if (key && down && logic_->ProjectTree().OnKey(*key)) return true;
    }
    // Tab between the tree and the path box; a label being edited keeps its keys.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && IsChild(hwnd_, msg.hwnd) &&
        !TreeView_GetEditControl(tree_->Handle()))
        return IsDialogMessageW(hwnd_, &msg) != FALSE;
    return false;
}

void MainWindow::OpenAtStart(const std::wstring& path) {
    startPath_ = path;
    PostMessageW(hwnd_, kOpenAtStart, 0, 0);
}

int MainWindow::RunMessageLoop() {
    MSG msg;
    while (hwnd_) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got < 0) return 1;
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}

void MainWindow::ProcessPendingMessages() {
    constexpr uint64_t kIntervalMs = 10;
    if (GetTickCount64() - lastDispatch_ < kIntervalMs) return;
    DispatchPendingMessages();
}

void MainWindow::DispatchPendingMessages() {
    lastDispatch_ = GetTickCount64();
    MSG msg;
    // Bounded, so that a control that keeps posting to itself cannot hold the work up.
    for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            // Leave it for the outer loop, which ends the program.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

bool MainWindow::WaitForProcess(RunningProcess& process,
                                const std::function<bool()>& stopRequested) {
    // The process's wait wakes for input too, so the window is as lively as in its own loop.
    while (!process.WaitForExitOrInput(INFINITE)) {
        DispatchPendingMessages();
        if (stopRequested()) return false;
    }
    return true;
}

void MainWindow::Beep() { MessageBeep(MB_OK); }

void MainWindow::SetPointer(int32_t pointer) {
    pointer_ = pointer;
    POINT pt;
    GetCursorPos(&pt);
    HWND under = WindowFromPoint(pt);
    if (under == hwnd_ || IsChild(hwnd_, under))
        SetCursor(LoadCursorW(nullptr, CursorFor(pointer)));
}

bool MainWindow::SetCursorForPointer() {
    if (pointer_ == kPointerArrow) return false;
    SetCursor(LoadCursorW(nullptr, CursorFor(pointer_)));
    return true;
}

void MainWindow::Close() {
    if (hwnd_) DestroyWindow(hwnd_);
}

}  // namespace prowl::win32
