#include "GuiTestSupport.h"

#include <filesystem>
#include <utility>

#include <commctrl.h>

#include <cwchar>

#include "support/TempTree.h"

namespace prowl::gui_test {

void RunXdotool(const std::wstring& arguments) { test::RunUnix(L"/usr/bin/xdotool", arguments); }

std::wstring Text(HWND hwnd) {
    wchar_t text[1024] = {};
    SendMessageW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

void Click(HWND hwnd, RECT rc, int clicks) {
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    wchar_t command[96];
    swprintf(command, 96, L"mousemove %ld %ld click --repeat %d --delay 80 1",
             (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, clicks);
    RunXdotool(command);
}

void WhenShown(const std::wstring& caption, std::function<void(HWND)> act) {
    static std::wstring wanted;
    static std::function<void(HWND)> pending;
    wanted = caption;
    pending = std::move(act);
    SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = nullptr;  // a message box disables the dialog of the same caption
        for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", wanted.c_str()); w;
             w = FindWindowExW(nullptr, w, L"#32770", wanted.c_str()))
            if (IsWindowVisible(w) && IsWindowEnabled(w)) dialog = w;
        if (dialog && pending) {
            RedrawWindow(dialog, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            std::exchange(pending, nullptr)(dialog);
        } else if (!dialog && !pending) {
            KillTimer(nullptr, id);
        }
    });
}

void Pump(const std::function<bool(MSG&)>& preTranslate) {
    // Posted follow-ups (a check toggle's report) arrive after the message that caused them.
    MSG msg;
    for (int round = 0; round < 3; ++round)
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!preTranslate || !preTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
}

bool Until(const std::function<bool()>& done, const std::function<void()>& step,
           DWORD milliseconds) {
    for (const ULONGLONG end = GetTickCount64() + milliseconds; !done(); Sleep(10)) {
        if (GetTickCount64() > end) return false;
        if (step) step();
    }
    return true;
}

void InitControls() {
    const INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
}

Window MakeWindow(int width, int height) {
    InitControls();
    Window window(
        CreateWindowExW(0, L"STATIC", L"Prowl test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                        width, height, nullptr, nullptr, nullptr, nullptr),
        &DestroyWindow);
    Pump();
    return window;
}

void SaveScreenshot(HWND hwnd, const std::string& name) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    const std::filesystem::path written = "Z:" PROWL_TEST_OUTPUT "/" + name + ".png";  // Z: is /
    std::filesystem::create_directories(written.parent_path());
    std::filesystem::remove(written);
    wchar_t crop[64];
    swprintf(crop, 64, L"%ldx%ld+%ld+%ld", rc.right - rc.left, rc.bottom - rc.top, rc.left, rc.top);
    test::RunUnix(L"/usr/bin/import", L"-window root -crop " + std::wstring(crop) + L" +repage " +
                                          written.wstring().substr(2));
    // A Unix child may count as ended before it has done its work: the window must stay on
    // the screen until the picture is written, or the picture is of an empty screen.
    for (int i = 0; i < 500 && !std::filesystem::exists(written); ++i) Sleep(10);
    Sleep(100);  // written, and closed
}

}  // namespace prowl::gui_test
