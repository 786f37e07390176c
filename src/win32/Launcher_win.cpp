#include "win32/Launcher_win.h"

#include <windows.h>

#include <vector>

#include "model/SystemPath.h"
#include "win32/Handles.h"
#include "win32/SystemError.h"

namespace prowl::win32 {

namespace {

class Win32RunningProcess final : public RunningProcess {
  public:
    explicit Win32RunningProcess(HANDLE process) : process_(process) {}

    bool WaitForExitOrInput(uint32_t milliseconds) override {
        HANDLE handle = process_.get();
        // MWMO_INPUTAVAILABLE: input already in the queue counts too, not only new input, so
        // a queue left partly dispatched cannot put the wait to sleep.
        const DWORD result =
            MsgWaitForMultipleObjectsEx(1, &handle, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0) return true;
        if (result == WAIT_FAILED) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        return false;
    }

    std::optional<uint32_t> ExitCode() const override {
        DWORD code = 0;
        if (WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process_.get(), &code))
            return std::nullopt;
        return code;
    }

  private:
    KernelHandle process_;
};

// Starts the program and closes the thread's handle; the process's handle is the caller's.
HANDLE Start(const std::wstring& application, const std::wstring& commandLine,
             const std::wstring& workingFolder, bool hidden, std::wstring* error) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (hidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    // A current folder cannot be longer than MAX_PATH; such a folder is left to the caller's
    // own, which only means Wine's loader will not look beside the file for its DLLs.
    const std::wstring folder = workingFolder.empty() ? L"" : ToSystemPath(workingFolder);
    const bool useFolder = !folder.empty() && folder.size() < MAX_PATH - 1;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        useFolder ? folder.c_str() : nullptr, &startup, &info)) {
        if (error != nullptr) *error = SystemErrorText(GetLastError());
        return nullptr;
    }
    CloseHandle(info.hThread);
    return info.hProcess;
}

}  // namespace

StartResult Win32Launcher::StartHidden(const std::wstring& systemProgram,
                                       const std::wstring& commandLine,
                                       const std::wstring& workingFolder) {
    StartResult result;
    // Named by its full path in the system folder: a search would look in the program's own
    // folder and the current folder first, where a planted copy would run instead.
    const std::wstring system =
        facts_.SystemFolder(sizeof(void*) == 8 ? Bitness::Bits64 : Bitness::Bits32);
    if (system.empty()) {
        result.error = SystemErrorText(ERROR_PATH_NOT_FOUND);
        return result;
    }
    HANDLE process =
        Start(system + L"\\" + systemProgram, commandLine, workingFolder, true, &result.error);
    if (process != nullptr) result.process = std::make_unique<Win32RunningProcess>(process);
    return result;
}

bool Win32Launcher::StartShown(const std::wstring& path, std::wstring* error) {
    const std::wstring application = ToSystemPath(path);
    KernelHandle process(Start(application, L"\"" + path + L"\"", L"", false, error));
    return static_cast<bool>(process);
}

}  // namespace prowl::win32
