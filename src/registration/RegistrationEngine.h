#pragma once
// Registers and unregisters component files by running the system's registration utility on
// each, one at a time, and tells the user what really happened to every file. It acts on
// records, never on tree positions, and reaches the window only through RegistrationHost.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "inspect/ComponentFiles.h"
#include "inspect/RegistrationIndex.h"
#include "inspect/SystemFacts.h"
#include "model/FileSystem.h"
#include "model/ProjectState.h"
#include "model/RegistryReader.h"
#include "model/StatusSink.h"
#include "registration/Launcher.h"
#include "ui/Prompts.h"

namespace prowl {

// What the engine needs of the main window.
class RegistrationHost {
  public:
    virtual ~RegistrationHost() = default;
    // True, after the system beep, while a process runs or the window sits in a loop of its
    // own: the commands must not start then.
    virtual bool RefuseCommand() = 0;
    // Shows a text (index 2: the action panel), then lets the window process its messages.
    virtual void StatusBar_Update(int32_t SBIndex, const std::wstring& aString) = 0;
    virtual void SetProcess(int16_t mode) = 0;
    virtual void SetPointer(int32_t pointer) = 0;
    // Dispatches what waits in the window's queue and returns, the window marked busy.
    virtual void ProcessPendingMessages() = 0;
    // Waits for the program to end while the window stays usable, with Stop enabled. False
    // when the user pressed Stop first: the program is left running.
    virtual bool WaitForLaunch(RunningProcess& process) = 0;
    // Runs a command's work in the window's own command scope, with the pointer given and,
    // unless it is idle, the process mode given; the scope puts both back on every way out,
    // an exception included.
    virtual void RunScoped(int32_t pointer, int16_t mode, const std::function<void()>& work) = 0;
};

inline constexpr int16_t kFilePresent = 0;
inline constexpr int16_t kFileNotFound = 1;
inline constexpr int16_t kFileInvalidPath = 2;

// Why the utility failed, in words, from its exit code alone: what is said of a file that
// inspection cannot tell more about.
std::wstring RegSvr32FailureReason(uint32_t exitCode, bool registering);

// The registry's state for one command, read with the hourglass shown and the window's
// messages let through now and then; the pointer is the arrow again afterwards.
RegistrationIndex GatherRegistration(RegistryReader& registry, const SystemFacts& facts,
                                     RegistrationHost& host);

// The folder that holds the file at the path, usable as a working folder ("C:\" for a file
// at a drive root, however many backslashes follow the colon).
std::wstring ComponentFolder(const std::wstring& path);

class RegistrationEngine {
  public:
    // The component files and system facts explain failed launches: the file is inspected
    // only after its launch failed.
    RegistrationEngine(ProjectState& state, FileSystem& fs, Launcher& launcher,
                       RegistrationHost& host, Prompts& prompts, ComponentFiles& components,
                       const SystemFacts& facts);

    // Register Me and Unregister Me: the file of the record, whether included or not.
    void RegisterMe(const ObjectRef& record);
    void UnregisterMe(const ObjectRef& record);
    // Register Group and Unregister Group: every included file beneath the folder record,
    // through included subfolders only; the folder's own Included is not consulted.
    void RunGroup(const ObjectRef& folderRecord, bool registering);

    // kFilePresent, kFileNotFound or kFileInvalidPath.
    int16_t CheckFile(const std::wstring& path);
    // Check, report, launch, and report a failure. The failure's reason, or nothing when the
    // file was handled.
    std::optional<std::wstring> RegisterFile(const std::wstring& path);
    std::optional<std::wstring> UnregisterFile(const std::wstring& path);

    struct LaunchResult {
        enum Kind { Exited, NotStarted, LeftRunning } kind = Exited;
        uint32_t exitCode = 0;
        std::wstring error;  // NotStarted: the system's reason
    };
    LaunchResult LaunchRegister(const std::wstring& path);
    LaunchResult LaunchUnregister(const std::wstring& path);

    // The walk beneath the folder whose key is given, in collection order, pre-order.
    void ProcessGroup(const std::wstring& key, bool registering);

  private:
    struct Run {
        bool group = false;
        std::optional<std::wstring> noLaunch;  // why the utility cannot be started
        std::vector<std::wstring> failures;    // the first lines of the results box
        std::size_t failureCount = 0;
    };

    std::optional<std::wstring> HandleFile(const std::wstring& path, bool registering);
    std::wstring FailureReason(const std::wstring& path, uint32_t exitCode, bool registering);
    LaunchResult Launch(const wchar_t* switches, const std::wstring& path);
    void Report(const std::wstring& text);
    void ShowResults(bool registering);

    ProjectState& state_;
    FileSystem& fs_;
    Launcher& launcher_;
    RegistrationHost& host_;
    Prompts& prompts_;
    ComponentFiles& components_;
    const SystemFacts& facts_;
    Run run_;
};

}  // namespace prowl
