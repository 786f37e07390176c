#include "inspect/ComponentTexts.h"

#include "model/Records.h"

namespace prowl {

namespace {

constexpr uint32_t kCouldNotLoad = 3;
constexpr uint32_t kNoEntryPoint = 4;
constexpr uint32_t kRegistrationFailed = 5;

std::wstring Counted(int32_t n, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

std::wstring Joined(const std::vector<ImportedDll>& dlls, bool delayedToo) {
    std::wstring text;
    for (const ImportedDll& dll : dlls) {
        if (dll.Delayed && !delayedToo) continue;
        if (!text.empty()) text += L", ";
        text += dll.Name;
    }
    return text;
}

std::wstring ProcessorText(uint16_t machine) {
    switch (machine) {
        case kMachineX86:
            return L"32-bit (x86)";
        case kMachineX64:
            return L"64-bit (x64)";
        case kMachineArm64:
            return L"ARM64";
        default:
            return L"";
    }
}

}  // namespace

std::wstring BuiltForText(const ComponentFacts& facts) {
    if (!facts.Program) return L"Not a program file";
    const std::wstring processor = ProcessorText(facts.Program->Machine);
    return processor.empty() ? L"Other" : processor;
}

std::wstring EntryPointsText(const ComponentFacts& facts) {
    const bool registers = facts.Program && facts.Program->ExportsRegister;
    const bool unregisters = facts.Program && facts.Program->ExportsUnregister;
    if (registers && unregisters) return L"Register and Unregister";
    if (registers) return L"Register only";
    if (unregisters) return L"Unregister only";
    return L"None";
}

std::wstring RegisteredText(const RegistrationCounts& counts) {
    if (!counts.Registered()) return L"No";
    return L"Yes, " + Counted(counts.Classes, L"class", L"classes") + L", " +
           Counted(counts.TypeLibraries, L"type library", L"type libraries");
}

std::wstring MissingDllsText(const ComponentFacts& facts) {
    const std::wstring names = Joined(facts.MissingDlls, true);
    return names.empty() ? L"None" : names;
}

RegisteredNow CountRegistered(const ItemCollection& items, const RegistrationIndex& index) {
    RegisteredNow count;
    for (const ObjectRef& item : items) {
        if (item->NodeType != kNodeDll && item->NodeType != kNodeOcx) continue;
        ++count.Total;
        if (index.Lookup(item->Path).Registered()) ++count.Registered;
    }
    return count;
}

std::wstring RegisteredNowText(const RegisteredNow& count) {
    return std::to_wstring(count.Registered) + L" of " + std::to_wstring(count.Total);
}

std::optional<std::wstring> ExplainFailure(const ComponentFacts& facts, uint32_t exitCode,
                                           bool registering, bool elevated, Bitness utility) {
    switch (exitCode) {
        case kCouldNotLoad: {
            if (!facts.Program) return L"the file is not a program file";
            const uint16_t machine = facts.Program->Machine;
            if (machine != (utility == Bitness::Bits32 ? kMachineX86 : kMachineX64)) {
                const std::wstring processor = ProcessorText(machine);
                return L"the file is built for " +
                       (processor.empty() ? L"another processor" : processor) + L", which the " +
                       (utility == Bitness::Bits32 ? L"32" : L"64") +
                       L"-bit RegSvr32 here cannot load";
            }
            // A DLL loaded late is not needed to load the file.
            const std::wstring names = Joined(facts.MissingDlls, false);
            if (!names.empty()) return L"the file could not be loaded - missing " + names;
            return std::nullopt;
        }
        case kNoEntryPoint:
            if (!facts.Program) return std::nullopt;
            if (registering && !facts.Program->ExportsRegister)
                return L"the file has no DllRegisterServer entry point";
            if (!registering && !facts.Program->ExportsUnregister)
                return L"the file has no DllUnregisterServer entry point";
            return std::nullopt;
        case kRegistrationFailed:
            if (elevated) return std::nullopt;
            return std::wstring(L"the component's registration function reported an error (") +
                   (registering ? L"registering" : L"unregistering") +
                   L" for all users needs administrator rights)";
        default:
            return std::nullopt;
    }
}

}  // namespace prowl
