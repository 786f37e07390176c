#pragma once
// Starting other programs: the registration utility (hidden, waited for) and the system
// information tool (shown, not waited for). The Win32 implementation lives in src/win32;
// tests script one in memory.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace prowl {

// A program the launcher started. Dropping it closes the handle but never ends the program.
class RunningProcess {
  public:
    virtual ~RunningProcess() = default;
    // Waits until the program has ended or the calling thread has input waiting, at most the
    // given time in milliseconds. True once the program has ended.
    virtual bool WaitForExitOrInput(uint32_t milliseconds) = 0;
    // The exit code, once the program has ended.
    virtual std::optional<uint32_t> ExitCode() const = 0;
};

struct StartResult {
    std::unique_ptr<RunningProcess> process;  // null when the program could not be started
    std::wstring error;                       // then the system's reason
};

class Launcher {
  public:
    virtual ~Launcher() = default;
    // Starts `systemProgram` (a file name such as "regsvr32.exe") from the system folder,
    // never through the search path, with the whole command line text as given, its window
    // hidden, in the working folder given (empty: the caller's own). Returns at once.
    virtual StartResult StartHidden(const std::wstring& systemProgram,
                                    const std::wstring& commandLine,
                                    const std::wstring& workingFolder) = 0;
    // Starts the program at the path in a normal window that takes the focus; does not wait.
    // False, with the system's reason, when it could not be started.
    virtual bool StartShown(const std::wstring& path, std::wstring* error) = 0;
};

}  // namespace prowl
