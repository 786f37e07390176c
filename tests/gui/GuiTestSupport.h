#pragma once
// Helpers for tests that drive real windows on the test display.
#include <windows.h>

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
