// The engine through its own entry points: with a scripted launcher over a disk in memory, and
// for real with the prefix's registration utility on copies of the test components.
#include <gtest/gtest.h>

#include "inspect/InspectTestSupport.h"
#include "registration/RegistrationEngine.h"
#include "support/ScriptedLauncher.h"
#include "support/TempTree.h"
#include "ui/memory/MemoryControls.h"
#include "win32/ProgramServices_win.h"

namespace prowl {
namespace {

using Lines = std::vector<std::wstring>;
std::wstring P(const std::wstring& name) { return L"C:\\P\\" + name; }
// A start as the launcher logs it: program, command line, working folder.
std::wstring U(const std::wstring& p, const wchar_t* switches = L"/U /S ") {
    return L"regsvr32.exe|RegSvr32 " + std::wstring(switches) + L"\"" + p + L"\"|" +
           p.substr(0, p.rfind(L'\\'));
}
std::wstring R(const std::wstring& p) { return U(p, L"/S "); }

// What a run shows and starts, in short: "+f" file f of C:\P registered (its text and both
// launches), ">f" only announced and unregistered, "-f" unregistered, "." Done; anything
// else is a text as it stands.
Lines Log(std::initializer_list<std::wstring> entries) {
    Lines log;
    for (const std::wstring& e : entries) {
        const std::wstring p = P(e.substr(1));
        if (e[0] == L'+' || e[0] == L'>' || e[0] == L'-')
            log.insert(log.end(),
                       {(e[0] == L'-' ? L"Unregistered File: " : L"Registered File: ") + p, U(p)});
        else
            log.push_back(e == L"." ? L"Done." : e);
        if (e[0] == L'+') log.push_back(R(p));
    }
    return log;
}

// Starts join the action panel's history as panel 0, so that one list shows texts and
// launches in the order they happened.
class RegistrationTest : public ::testing::Test {
  protected:
    RegistrationTest() {
        logic.Start();
        window.panels.history.clear();
        window.window.pointers.clear();
        launcher.onStart = [this](const std::wstring& start) {
            window.panels.history.emplace_back(0, start);
            modes.push_back(state.ProcessMode);
        };
    }
    ObjectRef Add(const std::wstring& path, const wchar_t* type, int32_t parent,
                  const wchar_t* included = kFlagOn, const std::string& bytes = "") {
        const int32_t index = state.DigColl->Count() + 1;
        auto r =
            std::make_shared<clsObject>(clsObject{index, parent, type, path, true, MakeKey(index),
                                                  L"", MakeKey(parent), included, kFlagOff});
        state.DigColl->Add(r);
        if (type != kNodeFolder) disk.File(path, bytes);
        return r;
    }
    Lines TakeLog() {
        Lines log;
        for (auto& e : std::exchange(window.panels.history, {})) log.push_back(e.second);
        return log;
    }
    std::wstring Box(std::size_t i) {
        const MessageBoxRequest& m = window.prompts.messages.at(i);
        return m.title + L"|" + m.text;
    }

    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    test::ScriptedLauncher launcher;
    MemoryDisk& disk = window.files;
    MemoryComponents components{disk};
    RegistrationEngine engine{state, disk, launcher, logic, window.prompts, components, components};
    std::vector<int16_t> modes;
};

TEST_F(RegistrationTest, SingleFileCommandsLaunchInTurnAndReportWhatBecameOfTheFile) {
    const std::wstring root = L"C:\\r.dll", x = P(L"x.dll"), x86 = P(L"x86.dll");
    engine.RegisterMe(Add(root, kNodeDll, 0));  // the working folder is C:\, not C:
    EXPECT_EQ(window.window.pointers, (std::vector<int32_t>{11, 1}));
    const ObjectRef file = Add(x, kNodeOcx, 0, kFlagOff);  // Me takes an excluded file too

    launcher.scripts[U(x)].code = 3;  // as for a file never registered: expected, not reported
    for (const uint32_t code : {1u, 2u, 3221225477u}) {
        launcher.scripts[R(x)].code = code;
        engine.RegisterMe(file);
    }
    launcher.scripts[U(x)].cannotStart = L"Access is denied.";
    engine.UnregisterMe(file);
    // The 64-bit utility hands a 32-bit file to the 32-bit one: its processor is no reason.
    disk.File(L"C:\\W\\SysWOW64\\regsvr32.exe");
    for (const wchar_t* n : {L"KERNEL32.dll", L"msvcrt.dll", L"ADVAPI32.dll"}) disk.File(P(n));
    launcher.scripts[R(x86)].code = 3;
    engine.RegisterMe(Add(x86, kNodeDll, 0, kFlagOn, test::ComponentBytes(L"prowl_com32.dll")));
    // A quote would end the path on the command line, a NUL cut it short.
    const std::wstring quoted = L"C:\\x.dll\" /U \"C:\\y.dll", nul(L"C:\\x.dll\0.ocx", 13);
    for (const std::wstring& p : {quoted, nul}) engine.UnregisterMe(Add(p, kNodeDll, 0));
    disk.Remove(x);
    engine.UnregisterMe(file);
    const std::wstring failed = L"[Registration failed]: " + x + L" - ";
    EXPECT_EQ(
        TakeLog(),
        Log({L"Registered File: " + root, U(root) + L"\\", R(root) + L"\\", L"+x.dll",
             failed + L"RegSvr32 rejected its arguments", L"+x.dll",
             failed + L"OLE could not be initialized", L"+x.dll", failed + L"exit code 3221225477",
             L"-x.dll", L"[RegSvr32 could not be started]: " + x + L" - Access is denied.",
             L"+x86.dll",
             L"[Registration failed]: " + x86 +
                 L" - the file could not be loaded (not a component, a DLL it needs is "
                 L"missing, or built for another processor)",
             L"[Invalid path]: " + quoted, L"[Invalid path]: " + nul, L"[File not found]: " + x}));
}

TEST_F(RegistrationTest, AGroupRunWalksIncludedFilesInOrderListsEveryFailureAndStopsBetweenFiles) {
    const ObjectRef root = Add(L"C:\\P", kNodeFolder, 0, kFlagOff);  // the selected folder
    for (const wchar_t* name : {L"0.dll", L"a.dll", L"skip.dll", L"b.ocx"})
        Add(P(name), kNodeDll, 1, name[0] == L's' ? kFlagOff : kFlagOn);
    const ObjectRef sub = Add(P(L"Sub"), kNodeFolder, 1);
    Add(P(L"Sub\\c.dll"), kNodeDll, 6);
    Add(P(L"Sub\\Ex"), kNodeFolder, 6, kFlagOff);
    Add(P(L"Sub\\Ex\\ticked.dll"), kNodeDll, 8);
    Add(P(L"y.dll"), kNodeDll, 1);
    Add(P(L"z.dll"), kNodeDll, 1);
    Add(L"C:\\Q\\q.dll", kNodeDll, 0);
    engine.RunGroup(root, true);
    EXPECT_EQ(TakeLog(),
              Log({L"+0.dll", L"+a.dll", L"+b.ocx", L"+Sub\\c.dll", L"+y.dll", L"+z.dll", L"."}));
    // A box ticked or cleared during the run counts when the walk gets there.
    window.window.onPump = [&] {
        state.DigColl->Item(4)->Included = kFlagOn;
        sub->Included = kFlagOff;
    };
    launcher.scripts[U(P(L"z.dll"))].code = 5;
    window.prompts.messageAnswers.assign(3, MsgAnswer::Ok);
    engine.RunGroup(root, false);
    const std::wstring error = L"the component's registration function reported an error";
    EXPECT_EQ(TakeLog(), Log({L"-0.dll", L"-a.dll", L"-skip.dll", L"-b.ocx", L"-y.dll", L"-z.dll",
                              L"[Unregistration failed]: C:\\P\\z.dll - " + error, L"."}));
    EXPECT_EQ(modes, (std::vector<int16_t>{3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4}));
    EXPECT_EQ(window.window.pointers, (std::vector<int32_t>{13, 1, 13, 1}));
    EXPECT_EQ(Box(0),
              L"ActiveX Prowl - Unregistration Results|The following files could not be "
              L"unregistered:\nC:\\P\\z.dll - " +
                  error);

    // Once the utility cannot be started, no later file asks it again. The box lists the
    // first 25 failures.
    const std::wstring why = L"The system cannot find it.";
    launcher.scripts[U(P(L"y.dll"))].cannotStart = why;
    for (int i = 1; i <= 25; ++i)
        disk.Remove(Add(P(std::to_wstring(i) + L".dll"), kNodeDll, 1)->Path);
    window.window.onPump = nullptr;
    engine.RunGroup(root, true);
    std::wstring box = L"The following files could not be registered:";
    for (const wchar_t* f : {L"y", L"z"})
        box += L"\n" + P(f) + L".dll - RegSvr32 could not be started: " + why;
    for (int i = 1; i <= 23; ++i) box += L"\n" + P(std::to_wstring(i)) + L".dll - File not found";
    EXPECT_EQ(window.prompts.messages.at(1).text, box + L"\n... and 2 more.");

    // Stop ends the run once the file in hand is done, and abandons a launch that hangs. While
    // a launch is awaited, Stop is there and every command is refused with a beep.
    launcher.scripts.clear();
    TakeLog();
    window.window.onPump = [&] {
        const bool waiting = state.ProcessMode == kProcessIdle && logic.Button(kButtonStop).enabled;
        if (waiting) engine.RunGroup(root, true);
        if (waiting || logic.PanelText(kPanelAction).ends_with(L"File: C:\\P\\a.dll"))
            logic.OnToolbarButtonClick(L"Stop");
    };
    launcher.scripts[U(P(L"a.dll"))].looks = 0;
    engine.RunGroup(root, false);
    EXPECT_EQ(TakeLog(), Log({L"-0.dll", L"-a.dll", L"."}));
    launcher.scripts[U(P(L"a.dll"))].looks = -1;  // abandoned: no register launch follows
    engine.RunGroup(root, true);
    EXPECT_EQ(TakeLog(),
              Log({L"+0.dll", L">a.dll", L"[RegSvr32 still running]: C:\\P\\a.dll", L"."}));
    EXPECT_EQ(Box(2),
              L"ActiveX Prowl - Registration Results|The following files could not be "
              L"registered:\nC:\\P\\a.dll - RegSvr32 still running");
    EXPECT_EQ(window.window.beeps, 1);
}

// The prefix's own utility on real copies: every failure is explained by what the file is, a
// component past the old path limit under a 255-character name registers, and one whose DLL
// is beside it does from its own folder.
TEST_F(RegistrationTest, ForRealAGroupRunRegistersAndExplainsEachFailure) {
    test::TempTree tree;
    std::wstring deep = L"deep";
    while (tree.Path(deep).size() < 300) deep += L"\\a folder of a long path";
    const std::wstring com = deep + L"\\" + std::wstring(251, L'n') + L".dll";
    const std::tuple<std::wstring, const wchar_t*, const wchar_t*> files[] = {
        {L"junk.dll", nullptr, L"the file is not a program file"},
        {com, L"prowl_com.dll", nullptr},
        {L"needs\\prowl_needsdep.dll", L"prowl_needsdep.dll", nullptr},
        {L"needs\\prowldep.dll", L"prowldep.dll",
         L"the file has no DllRegisterServer entry point"}};
    const ObjectRef folder = Add(tree.Root(), kNodeFolder, 0);
    std::wstring box =
        L"ActiveX Prowl - Registration Results|The following files could not be registered:";
    for (const auto& [relative, component, why] : files) {
        tree.File(relative, component ? test::ComponentBytes(component) : "not a program");
        Add(tree.Path(relative), kNodeDll, 1);
        if (why) box += L"\n" + tree.Path(relative) + L" - " + why;
    }
    win32::Win32FileSystem fs;
    win32::Win32ProgramServices program(nullptr, fs);
    const ProgramServices& s = program.Services();
    RegistrationEngine real{state, fs, s.launcher, logic, window.prompts, s.components, s.system};
    window.prompts.messageAnswers = {MsgAnswer::Ok, MsgAnswer::Ok};
    window.window.onPump = [] { Sleep(2); };  // a real program takes its time
    // The registry names the long-named copy's own file, whole, until the group is unregistered.
    const auto registered = [&] {
        return RegistrationIndex::Build(s.registry, s.system).Lookup(tree.Path(com));
    };
    real.RunGroup(folder, true);
    EXPECT_EQ(std::pair(registered(), Box(0)), std::pair(RegistrationCounts{1, 1}, box));
    real.RunGroup(folder, false);
    EXPECT_EQ(registered(), RegistrationCounts{});

    // Stop, pressed as soon as it is there, abandons the utility left running.
    window.window.onPump = [&] {
        if (logic.Button(kButtonStop).enabled) logic.OnToolbarButtonClick(L"Stop");
    };
    const std::wstring needs = tree.Path(L"needs\\prowl_needsdep.dll");
    real.RegisterMe(state.DigColl->FindByPath(needs));
    EXPECT_EQ(logic.PanelText(kPanelAction), L"[RegSvr32 still running]: " + needs);
    EXPECT_FALSE(logic.Busy());

    // The utility comes from the system folder by its full path, never from a search.
    test::FakeFacts elsewhere;
    elsewhere.System64 = tree.Path(L"needs");  // holds no regsvr32.exe
    EXPECT_FALSE(
        win32::Win32Launcher(elsewhere)
            .StartHidden(L"regsvr32.exe", L"RegSvr32 /S \"" + tree.Path(com) + L"\"", tree.Root())
            .process);
}

}  // namespace
}  // namespace prowl
