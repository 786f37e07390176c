#include "win32/StatusBar_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace prowl::win32 {
namespace {

int ToPosition(float value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<float>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<float>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

std::wstring StatusText(HWND bar) {
    auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 0, 0));
    std::wstring text(length + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

}  // namespace

Win32StatusPanels::Win32StatusPanels(HWND sourceFile, HWND action, HWND progress, HWND timerOwner,
                                     UINT_PTR timerId)
    : sourceFile_(sourceFile),
      action_(action),
      progress_(progress),
      timerOwner_(timerOwner),
      timerId_(timerId) {}

Win32StatusPanels::~Win32StatusPanels() {
    if (timerSet_ && IsWindow(timerOwner_)) KillTimer(timerOwner_, timerId_);
}

void Win32StatusPanels::SetPanelText(int32_t panel, const std::wstring& text) {
    if (panel != 1 && panel != 2) return;
    pendingText_[panel - 1] = text;
    FlushSoon();
}

std::wstring Win32StatusPanels::PanelText(int32_t panel) const {
    if (panel != 1 && panel != 2) return L"";
    const_cast<Win32StatusPanels*>(this)->Flush();
    return StatusText(panel == 1 ? sourceFile_ : action_);
}

void Win32StatusPanels::Update(const ProgressBarState& state) {
    pendingProgress_ = state;
    if (state.visible != progressShown_) {
        // Showing or hiding is rare and must not wait for the next repaint slot.
        Flush();
    } else {
        FlushSoon();
    }
}

ProgressBarState Win32StatusPanels::State() const {
    const_cast<Win32StatusPanels*>(this)->Flush();
    ProgressBarState state;
    state.visible = (GetWindowLongPtrW(progress_, GWL_STYLE) & WS_VISIBLE) != 0;
    state.value = static_cast<float>(SendMessageW(progress_, PBM_GETPOS, 0, 0));
    state.maximum = static_cast<float>(SendMessageW(progress_, PBM_GETRANGE, FALSE, 0));
    return state;
}

void Win32StatusPanels::FlushSoon() {
    if (GetTickCount64() - lastFlush_ >= kRepaintInterval) {
        Flush();
    } else if (!timerSet_) {
        timerSet_ =
            SetTimer(timerOwner_, timerId_, static_cast<UINT>(kRepaintInterval), nullptr) != 0;
    }
}

void Win32StatusPanels::OnTimer() {
    KillTimer(timerOwner_, timerId_);
    timerSet_ = false;
    // Something may have been drawn since the timer was set; then wait out the interval.
    if (pendingText_[0] || pendingText_[1] || pendingProgress_) FlushSoon();
}

void Win32StatusPanels::Flush() {
    lastFlush_ = GetTickCount64();
    if (timerSet_) {
        KillTimer(timerOwner_, timerId_);
        timerSet_ = false;
    }
    bool any = false;
    HWND bars[2] = {sourceFile_, action_};
    for (int i = 0; i < 2; ++i) {
        if (!pendingText_[i]) continue;
        SendMessageW(bars[i], SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(pendingText_[i]->c_str()));
        pendingText_[i].reset();
        UpdateWindow(bars[i]);
        any = true;
    }
    if (pendingProgress_) {
        const ProgressBarState state = *pendingProgress_;
        pendingProgress_.reset();
        SendMessageW(progress_, PBM_SETRANGE32, 0, ToPosition(state.maximum));
        SendMessageW(progress_, PBM_SETPOS, ToPosition(state.value), 0);
        const bool shown = (GetWindowLongPtrW(progress_, GWL_STYLE) & WS_VISIBLE) != 0;
        progressShown_ = state.visible;
        if (state.visible != shown) {
            if (state.visible) Layout();
            SetWindowPos(
                progress_, HWND_TOP, 0, 0, 0, 0,
                SWP_NOMOVE | SWP_NOSIZE | (state.visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        }
        UpdateWindow(progress_);
        any = true;
    }
    if (any) ++flushes_;
}

void Win32StatusPanels::Layout() {
    RECT bar;
    GetClientRect(action_, &bar);
    // The right part of the panel, clear of the size grip; the start of the text stays readable.
    const int grip = GetSystemMetrics(SM_CXVSCROLL);
    const int width = bar.right - bar.left;
    const int left = width * 11 / 20;
    MoveWindow(progress_, left, 2, std::max(0, width - grip - left - 2),
               std::max(0, static_cast<int>(bar.bottom) - 4), TRUE);
}

}  // namespace prowl::win32
