#pragma once
// Helpers for tests that drive real windows on the test display.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace prowl::gui_test {

// Registers the common controls' window classes, as the program does before its window.
void InitControls();

// Dispatches everything waiting, including what the dispatched messages post in turn; each
// message goes to preTranslate first, when given, and no further when it returns true.
void Pump(const std::function<bool(MSG&)>& preTranslate = nullptr);
// Runs xdotool with those arguments and waits for it.
void RunXdotool(const std::wstring& arguments);
// The same, with the main window's keyboard handling first, as its own loop gives it.
template <class MainWindow>
void Pump(MainWindow& window) {
    Pump([&window](MSG& msg) { return window.PreTranslate(msg); });
}

// Whether done() came true within the time, doing step, when given, between looks.
bool Until(const std::function<bool()>& done, const std::function<void()>& step = nullptr,
           DWORD milliseconds = 10000);

// Real input goes through the X server; its effect shows once the window has taken the
// messages it caused. Whether it showed (done) within two seconds.
template <class MainWindow>
bool Xdotool(MainWindow& window, const std::wstring& arguments, const std::function<bool()>& done) {
    RunXdotool(arguments);
    return Until(
        done, [&window] { Pump(window); }, 2000);
}

// The window's text, asked by the one message the system carries between processes.
std::wstring Text(HWND hwnd);

// A real click through the X server at the middle of a rectangle of the window's client area
// (of the screen when hwnd is null).
void Click(HWND hwnd, RECT rc, int clicks = 1);

// Runs `act` from inside the modal loop once a dialog box of that caption takes input. (A
// lost click leaves the dialog up: the test's time limit ends it.)
void WhenShown(const std::wstring& caption, std::function<void(HWND)> act);

// A plain top-level window, shown, destroyed with the object: an owner or a parent.
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)>;
Window MakeWindow(int width = 400, int height = 300);

// Saves the window as the screen shows it, as build/test-output/<name>.png.
void SaveScreenshot(HWND hwnd, const std::string& name);

}  // namespace prowl::gui_test
