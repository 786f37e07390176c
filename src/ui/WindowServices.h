#pragma once
// What the logic needs from the window as a whole rather than from one control.

#include <cstdint>
#include <functional>

namespace prowl {

class RunningProcess;

inline constexpr int32_t kPointerArrow = 1;
inline constexpr int32_t kPointerHourglass = 11;
inline constexpr int32_t kPointerArrowHourglass = 13;

class WindowServices {
  public:
    virtual ~WindowServices() = default;
    virtual void Beep() = 0;  // the system's default sound
    virtual void SetPointer(int32_t pointer) = 0;
    // Dispatches what is waiting in the thread's queue and returns; never waits for more.
    // Commands can run inside it: the logic marks itself busy around every call.
    virtual void ProcessPendingMessages() = 0;
    // Dispatches the thread's messages until the program has ended (true) or, read after
    // each pass, stopRequested says to give up (false; the program runs on). Commands can run
    // inside it: only MainWindowLogic::WaitForLaunch calls it, marking the window busy.
    virtual bool WaitForProcess(RunningProcess& process,
                                const std::function<bool()>& stopRequested) = 0;
    // Destroys the window without asking anything; the program ends when it is gone. The
    // logic calls it only after its own QueryClose agreed.
    virtual void Close() = 0;
};

}  // namespace prowl
