// The program: one main window, refused when another copy already runs.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <string>

#include "model/ProjectState.h"
#include "model/ProwlError.h"
#include "ui/MainWindowTexts.h"
#include "win32/Handles.h"
#include "win32/MainWindow_win.h"
#include "win32/Settings_win.h"

namespace {

// Per user session, so that another user's copy on the same machine does not count.
constexpr wchar_t kInstanceMutex[] = L"Local\\ActiveXProwl.SingleInstance";

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCmd) {
    using namespace prowl;

    // Before any window: the second copy must not show its own.
    win32::KernelHandle mutex(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxW(nullptr, kPreviousInstanceText, kPreviousInstanceTitle, MB_OK);
        return 0;
    }

    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                              ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);

    ProjectState state;
    try {
        win32::Win32SettingsStore settings;
        auto window = win32::MainWindow::Create(instance, state, showCmd, &settings);
        // One optional argument: a project file. A path typed without quotes arrives in
        // pieces, which are put back together.
        int argc = 0;
        if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
            std::wstring path;
            for (int i = 1; i < argc; ++i) path += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
            LocalFree(argv);
            if (!path.empty()) window->OpenAtStart(path);
        }
        return window->RunMessageLoop();
    } catch (const ProwlError& e) {
        MessageBoxW(nullptr, e.message().c_str(), kErrorCaption, MB_OK | MB_ICONERROR);
        return 1;
    } catch (const std::exception& e) {
        const std::string what = e.what();
        MessageBoxW(nullptr, std::wstring(what.begin(), what.end()).c_str(), kErrorCaption,
                    MB_OK | MB_ICONERROR);
        return 1;
    }
}
