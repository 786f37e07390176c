#include "registration/RegistrationEngine.h"

#include <string_view>
#include <unordered_map>
#include <utility>

#include "inspect/ComponentTexts.h"
#include "ui/WindowServices.h"

namespace prowl {

namespace {

constexpr std::size_t kResultLines = 25;

bool IsFile(const clsObject& r) { return r.NodeType == kNodeDll || r.NodeType == kNodeOcx; }

// The system folder's utility is 64-bit, as the program is; it hands a 32-bit file to the
// 32-bit one, where the system has that.
Bitness UtilityFor(const ComponentFacts& component, ComponentFiles& files,
                   const SystemFacts& facts) {
    if (!component.Program || component.Program->Machine != kMachineX86) return Bitness::Bits64;
    return files.FileExists(facts.SystemFolder(Bitness::Bits32) + L"\\regsvr32.exe")
               ? Bitness::Bits32
               : Bitness::Bits64;
}

}  // namespace

std::wstring RegSvr32FailureReason(uint32_t exitCode, bool registering) {
    switch (exitCode) {
        case 1:
            return L"RegSvr32 rejected its arguments";
        case 2:
            return L"OLE could not be initialized";
        case 3:
            return L"the file could not be loaded (not a component, a DLL it needs is missing, "
                   L"or built for another processor)";
        case 4:
            return registering ? L"the file has no DllRegisterServer entry point"
                               : L"the file has no DllUnregisterServer entry point";
        case 5:
            return L"the component's registration function reported an error";
        default:
            return L"exit code " + std::to_wstring(exitCode);
    }
}

RegistrationIndex GatherRegistration(RegistryReader& registry, const SystemFacts& facts,
                                     RegistrationHost& host) {
    RegistrationIndex index;
    host.RunScoped(kPointerHourglass, kProcessIdle, [&] {
        index =
            RegistrationIndex::Build(registry, facts, [&host] { host.ProcessPendingMessages(); });
    });
    return index;
}

std::wstring ComponentFolder(const std::wstring& path) {
    std::size_t end = path.find_last_of(L"\\/");
    if (end == std::wstring::npos) return {};
    while (end > 0 && (path[end - 1] == L'\\' || path[end - 1] == L'/')) --end;
    std::wstring folder = path.substr(0, end);
    if (folder.empty() || folder.back() == L':') folder += L'\\';
    return folder;
}

RegistrationEngine::RegistrationEngine(ProjectState& state, FileSystem& fs, Launcher& launcher,
                                       RegistrationHost& host, Prompts& prompts,
                                       ComponentFiles& components, const SystemFacts& facts)
    : state_(state),
      fs_(fs),
      launcher_(launcher),
      host_(host),
      prompts_(prompts),
      components_(components),
      facts_(facts) {}

void RegistrationEngine::RegisterMe(const ObjectRef& record) {
    if (!record || host_.RefuseCommand()) return;
    run_ = Run{};
    host_.RunScoped(kPointerHourglass, kProcessIdle, [&] { RegisterFile(record->Path); });
}

void RegistrationEngine::UnregisterMe(const ObjectRef& record) {
    if (!record || host_.RefuseCommand()) return;
    run_ = Run{};
    host_.RunScoped(kPointerHourglass, kProcessIdle, [&] { UnregisterFile(record->Path); });
}

void RegistrationEngine::RunGroup(const ObjectRef& folderRecord, bool registering) {
    if (!folderRecord || host_.RefuseCommand()) return;
    run_ = Run{};
    run_.group = true;
    host_.RunScoped(kPointerArrowHourglass,
                    registering ? kProcessGroupRegister : kProcessGroupUnregister, [&] {
                        // A record whose key repeats an earlier one stands alone in the tree:
                        // nothing is beneath it.
                        if (state_.DigColl->FindByKey(folderRecord->Key) == folderRecord)
                            ProcessGroup(folderRecord->Key, registering);
                    });
    host_.StatusBar_Update(kPanelAction, L"Done.");
    if (run_.failureCount > 0) ShowResults(registering);
}

int16_t RegistrationEngine::CheckFile(const std::wstring& path) {
    // A quote would end the path on the command line and let the rest pass as switches; a
    // NUL would cut the command line short. Neither can be in a real file's name.
    if (path.find_first_of(std::wstring_view(L"\"\0", 2)) != std::wstring::npos)
        return kFileInvalidPath;
    switch (fs_.LookUpFile(path, nullptr)) {
        case FileLookup::Present:
            return kFilePresent;
        case FileLookup::Absent:
            return kFileNotFound;
        case FileLookup::CannotExamine:
            break;
    }
    return kFileInvalidPath;
}

std::optional<std::wstring> RegistrationEngine::RegisterFile(const std::wstring& path) {
    return HandleFile(path, true);
}

std::optional<std::wstring> RegistrationEngine::UnregisterFile(const std::wstring& path) {
    return HandleFile(path, false);
}

std::optional<std::wstring> RegistrationEngine::HandleFile(const std::wstring& path,
                                                           bool registering) {
    std::optional<std::wstring> failure;
    switch (CheckFile(path)) {
        case kFileNotFound:
            Report(L"[File not found]: " + path);
            failure = L"File not found";
            break;
        case kFileInvalidPath:
            Report(L"[Invalid path]: " + path);
            failure = L"Invalid path";
            break;
        default: {
            Report((registering ? L"Registered File: " : L"Unregistered File: ") + path);
            // Registering starts from a clean slate; that unregister step fails for a file
            // that was never registered, which is expected and not reported.
            LaunchResult result = LaunchUnregister(path);
            if (registering && result.kind == LaunchResult::Exited) result = LaunchRegister(path);
            if (result.kind == LaunchResult::NotStarted) {
                failure = L"RegSvr32 could not be started: " + result.error;
                Report(L"[RegSvr32 could not be started]: " + path + L" - " + result.error);
            } else if (result.kind == LaunchResult::LeftRunning) {
                failure = L"RegSvr32 still running";
                Report(L"[RegSvr32 still running]: " + path);
            } else if (result.exitCode != 0) {
                failure = FailureReason(path, result.exitCode, registering);
                Report((registering ? L"[Registration failed]: " : L"[Unregistration failed]: ") +
                       path + L" - " + *failure);
            }
        }
    }
    if (failure && run_.group) {
        if (run_.failures.size() < kResultLines) run_.failures.push_back(path + L" - " + *failure);
        ++run_.failureCount;
    }
    return failure;
}

std::wstring RegistrationEngine::FailureReason(const std::wstring& path, uint32_t exitCode,
                                               bool registering) {
    // What is registered does not explain a failure, so no registry pass is made for it.
    const RegistrationIndex nothingRegistered;
    if (const auto component = InspectComponent(path, components_, facts_, nothingRegistered))
        if (auto why = ExplainFailure(*component, exitCode, registering, facts_.IsElevated(),
                                      UtilityFor(*component, components_, facts_)))
            return std::move(*why);
    return RegSvr32FailureReason(exitCode, registering);
}

RegistrationEngine::LaunchResult RegistrationEngine::LaunchRegister(const std::wstring& path) {
    return Launch(L"/S ", path);
}

RegistrationEngine::LaunchResult RegistrationEngine::LaunchUnregister(const std::wstring& path) {
    return Launch(L"/U /S ", path);
}

RegistrationEngine::LaunchResult RegistrationEngine::Launch(const wchar_t* switches,
                                                            const std::wstring& path) {
    // Once the utility could not be started, a group run asks no more of it: every further
    // attempt would fail the same way, only slower.
    if (run_.noLaunch) return {LaunchResult::NotStarted, 0, *run_.noLaunch};
    StartResult started = launcher_.StartHidden(
        L"regsvr32.exe", std::wstring(L"RegSvr32 ") + switches + L"\"" + path + L"\"",
        ComponentFolder(path));
    if (!started.process) {
        if (run_.group) run_.noLaunch = started.error;
        return {LaunchResult::NotStarted, 0, std::move(started.error)};
    }
    if (!host_.WaitForLaunch(*started.process)) return {LaunchResult::LeftRunning, 0, {}};
    const std::optional<uint32_t> code = started.process->ExitCode();
    if (!code) return {LaunchResult::LeftRunning, 0, {}};
    return {LaunchResult::Exited, *code, {}};
}

void RegistrationEngine::ProcessGroup(const std::wstring& key, bool registering) {
    // Children by parent key, in collection order, placed as the tree places them: under the
    // first record with that key, and only when that record comes earlier. What a
    // hand-edited file puts elsewhere (a repeated key, a reference forward or to nothing)
    // hangs under the project node, which no group run reaches, so no references can loop.
    const CollectionRef items = state_.DigColl;
    std::unordered_map<std::wstring, std::vector<ObjectRef>> children;
    children.reserve(static_cast<std::size_t>(items->Count()));
    for (const ObjectRef& r : *items) {
        if (!children.try_emplace(r->Key).second || r->Reference == r->Key) continue;
        const auto parent = children.find(r->Reference);
        if (parent != children.end()) parent->second.push_back(r);
    }

    struct Level {
        const std::vector<ObjectRef>* records;
        std::size_t next;
    };
    const auto top = children.find(key);
    if (top == children.end()) return;
    std::vector<Level> stack{{&top->second, 0}};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.records->size()) {
            stack.pop_back();
            continue;
        }
        const clsObject& r = *(*level.records)[level.next++];
        if (state_.ProcessMode == kProcessIdle) return;
        // Read now, not when the run began: a box ticked during the run counts.
        if (r.Included != kFlagOn) continue;
        if (IsFile(r))
            HandleFile(r.Path, registering);
        else
            stack.push_back({&children.find(r.Key)->second, 0});
    }
}

void RegistrationEngine::Report(const std::wstring& text) {
    host_.StatusBar_Update(kPanelAction, text);
}

void RegistrationEngine::ShowResults(bool registering) {
    MessageBoxRequest request;
    request.title = registering ? L"ActiveX Prowl - Registration Results"
                                : L"ActiveX Prowl - Unregistration Results";
    request.text = registering ? L"The following files could not be registered:"
                               : L"The following files could not be unregistered:";
    for (const std::wstring& line : run_.failures) request.text += L"\n" + line;
    if (run_.failureCount > run_.failures.size())
        request.text +=
            L"\n... and " + std::to_wstring(run_.failureCount - run_.failures.size()) + L" more.";
    request.buttons = MsgButtons::Ok;
    request.icon = MsgIcon::Exclamation;
    prompts_.ShowMessage(request);
}

}  // namespace prowl
