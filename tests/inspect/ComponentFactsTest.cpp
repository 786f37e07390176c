#include <gtest/gtest.h>
#include <windows.h>

#include "InspectTestSupport.h"
#include "inspect/ComponentFacts.h"
#include "inspect/ComponentTexts.h"
#include "support/TempTree.h"
#include "win32/SystemFacts_win.h"

namespace prowl {
namespace {

using test::TempTree;

TEST(MissingDlls, AreLookedForWhereTheLoaderLooksForCodeOfTheFilesBitness) {
    TempTree tree;
    for (const wchar_t* file :
         {L"sys64\\only64.dll", L"sys32\\only32.dll", L"win\\inwin.dll", L"onpath\\onpath.dll"})
        tree.File(file);
    test::FakeFacts facts;
    facts.System64 = tree.Path(L"sys64");
    facts.System32 = tree.Path(L"sys32");
    facts.Variables[L"windir"] = tree.Path(L"win");
    // 32-bit code that looks in the system folder through PATH is sent to its own.
    facts.Variables[L"PATH"] = L" \"" + tree.Path(L"onpath") + L"\";;" + tree.Path(L"sys64");
    PeFacts program;
    program.Imports = {{L"ONLY64.dll"},
                       {L"only32.dll"},
                       {L"inwin.dll"},
                       {L"onpath.dll"},
                       {L"API-MS-Win-Core-Synch-l1-2-0.dll"},
                       {L"ext-ms-win-ntuser-l1-1-0.dll", true},
                       {L"gone.dll", true}};
    const std::pair<uint16_t, std::vector<ImportedDll>> cases[] = {
        {kMachineX64, {{L"only32.dll"}, {L"gone.dll", true}}},
        {kMachineX86, {{L"ONLY64.dll"}, {L"gone.dll", true}}},
    };
    win32::Win32ComponentFiles files;
    for (const auto& [machine, missing] : cases) {
        program.Machine = machine;
        EXPECT_EQ(FindMissingDlls(tree.Path(L"x.dll"), program, files, facts), missing) << machine;
    }
}

TEST(MissingDlls, IncludeNoneThatTheManifestBindsFromTheSideBySideStore) {
    // The component's manifest asks for Prowl.Test.Dep 1.0.100.0, token 0123456789abcdef, of
    // its own processor; each case puts prowldep.dll in one store folder.
    const std::string bytes = test::ComponentBytes(L"prowl_sxs.dll");
    test::LoudBytes source(bytes);
    const auto program = ReadPe(source);
    ASSERT_TRUE(program);
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {nullptr, L"prowldep.dll"},
        {L"amd64_prowl.test.dep_0123456789abcdef_1.0.100.0_none_deadbeef", L"None"},
        {L"AMD64_Prowl.Test.Dep_0123456789ABCDEF_1.0.200.0_none_1a2b", L"None"},  // a policy's
        {L"amd64_prowl.test.dep_0123456789abcdef_1.1.100.0_none_1a2b", L"prowldep.dll"},
        {L"x86_prowl.test.dep_0123456789abcdef_1.0.100.0_none_1a2b", L"prowldep.dll"},
        {L"amd64_prowl.test.dep_fedcba9876543210_1.0.100.0_none_1a2b", L"prowldep.dll"},
        {L"amd64_prowl.test.dep.extra_0123456789abcdef_1.0.100.0_none_1a2b", L"prowldep.dll"},
    };
    win32::Win32ComponentFiles files;
    for (const auto& [folder, missing] : cases) {
        TempTree tree;
        tree.File(L"app\\sxs.dll", bytes);
        if (folder) tree.File(L"win\\WinSxS\\" + std::wstring(folder) + L"\\prowldep.dll");
        test::FakeFacts facts;
        facts.System64 = win32::Win32SystemFacts().SystemFolder(Bitness::Bits64);
        facts.Variables[L"windir"] = tree.Path(L"win");
        ComponentFacts component;
        component.MissingDlls = FindMissingDlls(tree.Path(L"app\\sxs.dll"), *program, files, facts);
        EXPECT_EQ(MissingDllsText(component), missing) << testing::PrintToString(folder);
    }
}

TEST(InspectComponent, ReadsRealFilesWithoutLockingThem) {
    TempTree tree;
    tree.File(L"needsdep.dll", test::ComponentBytes(L"prowl_needsdep.dll"));
    tree.File(L"text.dll", "not a program at all");
    tree.Folder(L"folder.dll");
    const std::wstring path = tree.Path(L"needsdep.dll");
    win32::Win32ComponentFiles files;
    const win32::Win32SystemFacts facts;
    const RegistrationIndex nothing;
    const auto inspect = [&](const wchar_t* name) {
        return InspectComponent(tree.Path(name), files, facts, nothing);
    };

    const auto alone = inspect(L"needsdep.dll");
    ASSERT_TRUE(alone);
    EXPECT_EQ(MissingDllsText(*alone), L"prowldep.dll");  // the system's DLLs are all found
    tree.File(L"prowldep.dll", test::ComponentBytes(L"prowldep.dll"));
    EXPECT_EQ(MissingDllsText(*inspect(L"needsdep.dll")), L"None");

    EXPECT_EQ(BuiltForText(inspect(L"text.dll").value()), L"Not a program file");
    EXPECT_FALSE(inspect(L"folder.dll"));
    EXPECT_FALSE(inspect(L"gone.dll"));

    const auto open = files.Open(path);
    ASSERT_TRUE(open);
    const HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE) << "a program that writes is locked out";
    CloseHandle(writer);
    EXPECT_TRUE(DeleteFileW(path.c_str())) << "one that deletes is locked out";
}

ComponentFacts Facts(std::optional<uint16_t> machine, bool registers = true,
                     bool unregisters = true, std::vector<ImportedDll> missing = {}) {
    ComponentFacts facts;
    if (machine) facts.Program = PeFacts{*machine, true, registers, unregisters, {}, {}};
    facts.MissingDlls = std::move(missing);
    return facts;
}

TEST(ComponentTexts, SayWhatNoTestComponentIs) {
    EXPECT_EQ(BuiltForText(Facts(kMachineArm64)), L"ARM64");
    EXPECT_EQ(BuiltForText(Facts(0x01C0)), L"Other");
    EXPECT_EQ(EntryPointsText(Facts(kMachineX64, false, true)), L"Unregister only");
    EXPECT_EQ(EntryPointsText(Facts(std::nullopt)), L"None");
    EXPECT_EQ(RegisteredText({0, 0}), L"No");
    EXPECT_EQ(RegisteredText({0, 3}), L"Yes, 0 classes, 3 type libraries");
    EXPECT_EQ(MissingDllsText(Facts(kMachineX64, true, true, {{L"a.dll"}, {L"b.dll", true}})),
              L"a.dll, b.dll");
}

TEST(ExplainFailure, NamesTheCauseTheFileShowsAndOnlyThat) {
    const auto explain = [](const ComponentFacts& facts, uint32_t code, bool registering = true,
                            bool elevated = true, Bitness utility = Bitness::Bits64) {
        return ExplainFailure(facts, code, registering, elevated, utility).value_or(L"-");
    };
    const std::wstring cannotLoad = L", which the 64-bit RegSvr32 here cannot load";
    EXPECT_EQ(explain(Facts(0x01C0), 3), L"the file is built for another processor" + cannotLoad);
    EXPECT_EQ(explain(Facts(kMachineArm64), 3), L"the file is built for ARM64" + cannotLoad);
    EXPECT_EQ(explain(Facts(kMachineX64), 3, true, true, Bitness::Bits32),
              L"the file is built for 64-bit (x64), which the 32-bit RegSvr32 here cannot load");
    EXPECT_EQ(explain(Facts(kMachineX86), 3, true, true, Bitness::Bits32), L"-");
    const auto missing = Facts(kMachineX64, true, true, {{L"a.dll"}, {L"b.dll"}, {L"c.dll", true}});
    EXPECT_EQ(explain(missing, 3), L"the file could not be loaded - missing a.dll, b.dll");
    EXPECT_EQ(explain(Facts(kMachineX64, true, true, {{L"late.dll", true}}), 3), L"-");

    EXPECT_EQ(explain(Facts(kMachineX64, true, false), 4), L"-");
    EXPECT_EQ(explain(Facts(kMachineX64, false, true), 4, false), L"-");

    const std::wstring failed = L"the component's registration function reported an error (";
    EXPECT_EQ(explain(missing, 5, true, false),
              failed + L"registering for all users needs administrator rights)");
    EXPECT_EQ(explain(missing, 5, false, false),
              failed + L"unregistering for all users needs administrator rights)");
    EXPECT_EQ(explain(missing, 5), L"-");
    EXPECT_EQ(explain(missing, 1, true, false), L"-");
}

}  // namespace
}  // namespace prowl
