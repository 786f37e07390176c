#include <gtest/gtest.h>

#include "InspectTestSupport.h"
#include "inspect/ComparablePath.h"
#include "inspect/ComponentFacts.h"
#include "inspect/ComponentTexts.h"
#include "support/TempTree.h"

namespace prowl {
namespace {

constexpr Bitness b32 = Bitness::Bits32, b64 = Bitness::Bits64;

TEST(MissingDlls, AreLookedForWhereTheLoaderLooksForCodeOfTheFilesBitnessThenInTheStore) {
    test::TempTree tree;
    for (const wchar_t* file : {L"app\\beside.dll", L"sys64\\only64.dll", L"sys32\\only32.dll",
                                L"win\\inwin.dll", L"onpath\\onpath.dll"})
        tree.File(file);
    test::FakeFacts facts;
    facts.System64 = tree.Path(L"sys64");
    facts.System32 = tree.Path(L"sys32");
    facts.Variables[L"windir"] = tree.Path(L"win");
    // 32-bit code that looks in the system folder through PATH is sent to its own.
    facts.Variables[L"PATH"] = L" \"" + tree.Path(L"onpath") + L"\";;" + tree.Path(L"sys64");
    PeFacts program;
    for (const wchar_t* name : {L"ONLY64.dll", L"only32.dll", L"beside.dll", L"inwin.dll",
                                L"onpath.dll", L"API-MS-Win-Core-Synch-l1-2-0.dll",
                                L"ext-ms-win-ntuser-l1-1-0.dll", L"gone.dll", L"prowldep.dll"})
        program.Imports.push_back({name});
    // Bound by the manifest to any version a publisher's policy may redirect to: the same
    // major and minor number, for the file's own processor.
    program.Assemblies = {{L"Prowl.Test.Dep", L"1.0.100.0", L"", L"0123456789abcdef"}};
    const std::wstring store = L"win\\WinSxS\\", dep = L"_none_1a2b\\prowldep.dll";
    const std::tuple<uint16_t, std::vector<std::wstring>, std::wstring> cases[] = {
        {kMachineX86, {}, L"ONLY64.dll, gone.dll, prowldep.dll"},
        {kMachineX64,
         {L"x86_prowl.test.dep_0123456789abcdef_1.0.100.0",
          L"amd64_prowl.test.dep_0123456789abcdef_1.1.100.0",
          L"amd64_prowl.test.dep_fedcba9876543210_1.0.100.0",
          L"amd64_prowl.test.dep.extra_0123456789abcdef_1.0.100.0"},
         L"only32.dll, gone.dll, prowldep.dll"},
        {kMachineX64,
         {L"AMD64_Prowl.Test.Dep_0123456789ABCDEF_1.0.200.0"},
         L"only32.dll, gone.dll"},
    };
    win32::Win32ComponentFiles files;
    for (const auto& [machine, folders, missing] : cases) {
        for (const std::wstring& folder : folders) tree.File(store + folder + dep);
        program.Machine = machine;
        const auto found = FindMissingDlls(tree.Path(L"app\\x.dll"), program, files, facts);
        EXPECT_EQ(MissingDllsText({program, found, {}}), missing);
    }
}

ComponentFacts Facts(uint16_t machine, bool registers = true, bool unregisters = true,
                     std::vector<ImportedDll> missing = {}) {
    return {PeFacts{machine, true, registers, unregisters, {}, {}}, std::move(missing), {}};
}

TEST(ComponentTexts, SayWhatTheFileIsAndWhyItsUtilityFailedAsFarAsTheFileTells) {
    const auto missing = Facts(kMachineX64, true, true, {{L"a.dll"}, {L"b.dll"}, {L"c.dll", true}});
    EXPECT_EQ(BuiltForText(Facts(0x01C0)) + L"|" + EntryPointsText(Facts(kMachineX64, false)) +
                  L"|" + RegisteredText({0, 3}) + L"|" + MissingDllsText(missing),
              L"Other|Unregister only|Yes, 0 classes, 3 type libraries|a.dll, b.dll, c.dll");
    // Exit code, registering, elevated, the utility's bitness; "-": nothing to add.
    const std::wstring rights = L"the component's registration function reported an error (",
                       admin = L"registering for all users needs administrator rights)",
                       cannotLoad = L", which the 64-bit RegSvr32 here cannot load";
    const std::tuple<ComponentFacts, uint32_t, bool, bool, Bitness, std::wstring> cases[] = {
        {Facts(0x01C0), 3, 1, 1, b64, L"the file is built for another processor" + cannotLoad},
        {Facts(kMachineArm64), 3, 1, 1, b64, L"the file is built for ARM64" + cannotLoad},
        {Facts(kMachineX64), 3, 1, 1, b32,
         L"the file is built for 64-bit (x64), which the 32-bit RegSvr32 here cannot load"},
        {Facts(kMachineX86), 3, 1, 1, b32, L"-"},
        {missing, 3, 1, 1, b64, L"the file could not be loaded - missing a.dll, b.dll"},
        {Facts(kMachineX64, true, false), 4, 1, 1, b64, L"-"},
        {Facts(kMachineX64, true, false), 4, 0, 1, b64,
         L"the file has no DllUnregisterServer entry point"},
        {missing, 5, 1, 0, b64, rights + admin},
        {missing, 5, 0, 0, b64, rights + L"un" + admin},
    };
    for (const auto& [facts, code, registering, elevated, bits, text] : cases)
        EXPECT_EQ(ExplainFailure(facts, code, registering, elevated, bits).value_or(L"-"), text);
}

TEST(RegisteredFile, IsNamedByItsValueAsTheSystemReadsIt) {
    test::FakeFacts facts;
    facts.Variables = {{L"SystemRoot", L"C:\\Windows"}, {L"app", L"D:\\App"}};
    facts.LongPaths = {{L"C:\\PROGRA~1\\x.ocx", L"C:\\Program Files\\x.ocx"}};
    const PathResolver resolver(facts);
    const std::tuple<const wchar_t*, Bitness, const wchar_t*> cases[] = {
        {L"%SystemRoot%\\System32\\a.dll", b64, L"C:\\WINDOWS\\SYSTEM32\\A.DLL"},
        {L"%SystemRoot%\\System32\\a.dll", b32, L"C:\\WINDOWS\\SYSWOW64\\A.DLL"},
        {L"C:\\Windows\\System32x\\a.dll", b32, L"C:\\WINDOWS\\SYSTEM32X\\A.DLL"},
        {L"a.dll", b32, L"C:\\WINDOWS\\SYSWOW64\\A.DLL"},
        {L"  \"%app%\\b c.dll\" ", b64, L"D:\\APP\\B C.DLL"},
        {L"%NOSUCH%\\a.dll", b64, L"%NOSUCH%\\A.DLL"},
        {L"C:\\PROGRA~1\\x.ocx", b64, L"C:\\PROGRAM FILES\\X.OCX"},
        {L"c:/Dir//.\\sub\\..\\x.dll\\", b64, L"C:\\DIR\\X.DLL"},
    };
    for (const auto& [value, bitness, file] : cases)
        EXPECT_EQ(resolver.RegisteredFile(value, bitness), file) << testing::PrintToString(value);
}

}  // namespace
}  // namespace prowl
