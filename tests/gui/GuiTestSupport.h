#pragma once
// Helpers for tests that drive real windows on the test display.
#include <windows.h>

#include <optional>
#include <string>

namespace prowl::gui_test {

// Dispatches everything waiting, including what the dispatched messages post in turn.
void Pump();

// A plain top-level window that hands WM_NOTIFY to a callback, to host one control.
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

}  // namespace prowl::gui_test

#include <cstdint>
#include <vector>

namespace prowl::gui_test {

// A path of the build (a Unix path under Wine) as the program sees it.
std::wstring WindowsPath(const std::string& path);

// Saves the window's pixels, as they are on the screen, as a PNG file.
bool SaveWindowPng(HWND hwnd, const std::wstring& file);

// Memory in another process, for control messages that carry pointers: the system copies
// no data across processes for them.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    void Write(const void* data, size_t size, size_t offset = 0);
    void Read(void* data, size_t size, size_t offset = 0) const;

  private:
    HANDLE process_;
    void* address_;
};

// A started program that is ended, whatever happens to the test.
class ChildProcess {
  public:
    explicit ChildProcess(const std::wstring& exe);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    HANDLE Handle() const { return info_.hProcess; }
    DWORD Id() const { return info_.dwProcessId; }
    bool Started() const { return info_.hProcess != nullptr; }
    // The exit code, or nothing while it still runs after waiting.
    std::optional<DWORD> WaitForExit(DWORD milliseconds);

  private:
    PROCESS_INFORMATION info_{};
};

// The first visible top-level window of that class and caption owned by the process, waiting
// up to the given time for it to appear.
HWND WaitForWindow(DWORD processId, const wchar_t* cls, const wchar_t* caption, DWORD milliseconds);

}  // namespace prowl::gui_test
