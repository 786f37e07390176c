#include "GuiTestSupport.h"

#include <commctrl.h>

#include <string>

#include "support/TempTree.h"

namespace prowl::gui_test {

void Pump() {
    // Posted follow-ups (a check toggle's report) arrive after the message that caused them.
    for (int round = 0; round < 3; ++round) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

HostWindow::HostWindow(int width, int height) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"ProwlTestHost";
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    hwnd_ = CreateWindowExW(0, L"ProwlTestHost", L"Prowl test host", WS_OVERLAPPEDWINDOW, 10, 10,
                            width, height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    Pump();
}

HostWindow::~HostWindow() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    Pump();
}

LRESULT CALLBACK HostWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(
            hwnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NOTIFY && self && self->handler_) {
        LRESULT result = 0;
        if (self->handler_(self->context_, *reinterpret_cast<NMHDR*>(lp), result)) return result;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void SaveScreenshot(HWND hwnd, const std::string& name) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    const std::string folder = PROWL_TEST_OUTPUT;
    const auto text = [](long n) { return std::to_wstring(n); };
    test::RunUnix(L"/bin/mkdir", L"-p " + std::wstring(folder.begin(), folder.end()));
    test::RunUnix(L"/usr/bin/import", L"-window root -crop " + text(rc.right - rc.left) + L"x" +
                                          text(rc.bottom - rc.top) + L"+" + text(rc.left) + L"+" +
                                          text(rc.top) + L" +repage " +
                                          std::wstring(folder.begin(), folder.end()) + L"/" +
                                          std::wstring(name.begin(), name.end()) + L".png");
}

ChildProcess::ChildProcess(const std::wstring& exe) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    std::wstring command = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &info_))
        info_ = {};
}

ChildProcess::~ChildProcess() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
}

std::optional<DWORD> ChildProcess::WaitForExit(DWORD milliseconds) {
    if (WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

HWND WaitForWindow(DWORD processId, const wchar_t* caption, DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    do {
        for (HWND h = FindWindowExW(nullptr, nullptr, nullptr, caption); h;
             h = FindWindowExW(nullptr, h, nullptr, caption)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner == processId && IsWindowVisible(h)) return h;
        }
        Sleep(20);
    } while (GetTickCount64() < end);
    return nullptr;
}

}  // namespace prowl::gui_test
