#pragma once
// Helpers for tests that drive real windows on the test display.
#include <windows.h>

#include <optional>
#include <string>

namespace prowl::gui_test {

// Dispatches everything waiting, including what the dispatched messages post in turn.
void Pump();

// A plain top-level window that hands WM_NOTIFY to a callback, to host controls.
class HostWindow {
  public:
    using NotifyHandler = bool (*)(void* context, const NMHDR& header, LRESULT& result);
    HostWindow(int width, int height);
    ~HostWindow();
    HWND Handle() const { return hwnd_; }
    void OnNotify(NotifyHandler handler, void* context) {
        handler_ = handler;
        context_ = context;
    }

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
    NotifyHandler handler_ = nullptr;
    void* context_ = nullptr;
};

// Saves the window as the screen shows it, as build/test-output/<name>.png.
void SaveScreenshot(HWND hwnd, const std::string& name);

// A started program that is ended, whatever happens to the test.
class ChildProcess {
  public:
    explicit ChildProcess(const std::wstring& exe);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    DWORD Id() const { return info_.dwProcessId; }
    bool Started() const { return info_.hProcess != nullptr; }
    // The exit code, or nothing while it still runs after waiting.
    std::optional<DWORD> WaitForExit(DWORD milliseconds);

  private:
    PROCESS_INFORMATION info_{};
};

// The first visible top-level window of that caption owned by the process, waiting up to the
// given time for it to appear.
HWND WaitForWindow(DWORD processId, const wchar_t* caption, DWORD milliseconds);

}  // namespace prowl::gui_test
