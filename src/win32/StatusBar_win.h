#pragma once
// SBSourceFile, SBAction and PBAction. A scan hands over a text per folder, thousands a
// second; repainting each would make the scan wait for the screen. Every text is taken at
// once, but the controls are brought up to date at most every kRepaintInterval, and a timer
// makes sure the last text is shown when the calls stop.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "ui/StatusPanels.h"

namespace prowl::win32 {

inline constexpr ULONGLONG kRepaintInterval = 30;  // milliseconds

class Win32StatusPanels final : public StatusPanels, public ProgressBarView {
  public:
    // timerOwner receives WM_TIMER with timerId and calls OnTimer.
    Win32StatusPanels(HWND sourceFile, HWND action, HWND progress, HWND timerOwner,
                      UINT_PTR timerId);
    ~Win32StatusPanels() override;
    Win32StatusPanels(const Win32StatusPanels&) = delete;
    Win32StatusPanels& operator=(const Win32StatusPanels&) = delete;

    void SetPanelText(int32_t panel, const std::wstring& text) override;
    std::wstring PanelText(int32_t panel) const override;
    void Update(const ProgressBarState& state) override;
    ProgressBarState State() const override;

    // Brings the controls up to date now.
    void Flush();
    void OnTimer();
    // Puts the progress bar back over its part of SBAction after a resize.
    void Layout();

    // How many times the controls were actually updated (for measurements).
    uint64_t FlushCount() const { return flushes_; }

  private:
    void FlushSoon();

    HWND sourceFile_;
    HWND action_;
    HWND progress_;
    HWND timerOwner_;
    UINT_PTR timerId_;
    std::optional<std::wstring> pendingText_[2];
    std::optional<ProgressBarState> pendingProgress_;
    bool progressShown_ = false;  // what the control shows; asking it costs on every step
    ULONGLONG lastFlush_ = 0;
    bool timerSet_ = false;
    uint64_t flushes_ = 0;
};

}  // namespace prowl::win32
