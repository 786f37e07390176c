#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "inspect/InspectTestSupport.h"
#include "registration/RegistrationEngine.h"
#include "support/ScriptedLauncher.h"
#include "support/TempTree.h"
#include "ui/MainWindowLogic.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDisk.h"

namespace prowl {
namespace {

using Lines = std::vector<std::wstring>;
// A start as the launcher logs it: program, command line, working folder.
std::wstring Start(const wchar_t* switches, const std::wstring& p) {
    return L"regsvr32.exe|RegSvr32 " + std::wstring(switches) + L"\"" + p + L"\"|" +
           p.substr(0, p.rfind(L'\\'));
}
std::wstring U(const std::wstring& p) { return Start(L"/U /S ", p); }
std::wstring R(const std::wstring& p) { return Start(L"/S ", p); }
std::wstring P(const std::wstring& name) { return L"C:\\P\\" + name; }

// What a run shows and starts, in short: "+f" file f of C:\P registered (its text and both
// launches), ">f" only announced and unregistered, "-f" unregistered, "." Done; anything
// else is a text as it stands.
Lines Log(std::initializer_list<std::wstring> entries) {
    Lines log;
    for (const std::wstring& e : entries) {
        const std::wstring p = P(e.substr(1));
        if (e == L".")
            log.push_back(L"Done.");
        else if (e[0] == L'+' || e[0] == L'>' || e[0] == L'-')
            log.insert(log.end(),
                       {(e[0] == L'-' ? L"Unregistered File: " : L"Registered File: ") + p, U(p)});
        else
            log.push_back(e);
        if (e[0] == L'+') log.push_back(R(p));
    }
    return log;
}

// The bytes of the file whose launch failed (none: it cannot be opened), counting the opens.
// Every other file is there, the 32-bit system's utility only where said.
struct Components : ComponentFiles {
    std::unique_ptr<ByteSource> Open(const std::wstring&) override {
        ++opened;
        return bytes ? std::make_unique<test::LoudBytes>(*bytes) : nullptr;
    }
    bool FileExists(const std::wstring& path) override {
        return wow64 || !path.ends_with(L"SysWOW64\\regsvr32.exe");
    }
    std::vector<std::wstring> FoldersStartingWith(const std::wstring&, const std::wstring&,
                                                  std::size_t) override {
        return {};
    }
    std::optional<std::string> bytes;
    bool wow64 = false;
    int opened = 0;
};

// The fixture is the file system too. Starts join the action panel's history as panel 0, so
// that one list shows texts and launches in the order they happened.
class RegistrationTest : public ::testing::Test, public MemoryDisk {
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
                  const wchar_t* included = kFlagOn, const wchar_t* key = nullptr) {
        const int32_t index = state.DigColl->Count() + 1;
        auto r = std::make_shared<clsObject>(clsObject{index, parent, type, path, true,
                                                       key ? key : MakeKey(index), L"",
                                                       MakeKey(parent), included, kFlagOff});
        state.DigColl->Add(r);
        if (type != kNodeFolder) files.try_emplace(path, FileLookup::Present);
        return r;
    }
    Lines TakeLog() {
        Lines log;
        for (const auto& [panel, text] : window.panels.history)
            if (panel != kPanelSourceFile) log.push_back(text);
        window.panels.history.clear();
        return log;
    }
    FileLookup LookUpFile(const std::wstring& path, std::wstring*) override {
        if (path.empty()) throw std::runtime_error("the disk failed");
        const auto f = files.find(path);
        return f == files.end() ? FileLookup::Absent : f->second;
    }

    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    test::ScriptedLauncher launcher;
    std::map<std::wstring, test::LaunchScript>& scripts = launcher.scripts;
    Components components;
    test::FakeFacts facts = [] {
        test::FakeFacts f;
        f.Variables[L"windir"] = L"C:\\Windows";
        return f;
    }();
    RegistrationEngine engine{state, *this, launcher, logic, window.prompts, components, facts};
    std::map<std::wstring, FileLookup> files;
    std::vector<int16_t> modes;
};

TEST_F(RegistrationTest, SingleFileCommandsLaunchInTurnAndReportWhatBecameOfTheFile) {
    const std::wstring root = L"C:\\r.dll";  // the folder is C:\, not C:
    int pumpsWithStop = 0;                   // Stop is there in every wait, and nowhere else
    window.window.onPump = [&] { pumpsWithStop += logic.Button(kButtonStop).enabled; };
    for (const ObjectRef& file :
         {Add(P(L"a b.ocx"), kNodeOcx, 0, kFlagOff), Add(root, kNodeDll, 0)}) {
        engine.RegisterMe(file);
        engine.UnregisterMe(file);
    }
    EXPECT_EQ(TakeLog(),
              Log({L"+a b.ocx", L"-a b.ocx", L"Registered File: " + root, U(root) + L"\\",
                   R(root) + L"\\", L"Unregistered File: " + root, U(root) + L"\\"}));
    EXPECT_EQ(pumpsWithStop, 6);
    EXPECT_EQ(window.window.pointers, (std::vector<int32_t>{11, 1, 11, 1, 11, 1, 11, 1}));
    EXPECT_EQ(modes, std::vector<int16_t>(6, kProcessIdle));
    EXPECT_EQ(components.opened, 0) << "a launch that succeeded is not inspected";

    const std::wstring x = P(L"x.dll"), fail = L"[Registration failed]: C:\\P\\x.dll - ";
    const ObjectRef file = Add(x, kNodeDll, 0);
    for (const uint32_t code : {1u, 2u, 3221225477u, 0u}) {
        scripts[R(x)].code = code;
        scripts[U(x)].code = 3;  // as for a file never registered: expected, not reported
        engine.RegisterMe(file);
    }
    EXPECT_EQ(TakeLog(), Log({L"+x.dll", fail + L"RegSvr32 rejected its arguments", L"+x.dll",
                              fail + L"OLE could not be initialized", L"+x.dll",
                              fail + L"exit code 3221225477", L"+x.dll"}));
    EXPECT_EQ(components.opened, 3) << "nor is the unregistration before a registration";
    scripts[U(x)].code = 5;
    engine.UnregisterMe(file);
    EXPECT_EQ(TakeLog().back(),
              L"[Unregistration failed]: C:\\P\\x.dll - the component's "
              L"registration function reported an error");

    // A quote would end the path on the command line, a NUL cut it short.
    const std::wstring quoted = L"C:\\x.dll\" /U \"C:\\y.dll", nul(L"C:\\x.dll\0.ocx", 13);
    files = {{quoted, FileLookup::Present},
             {nul, FileLookup::Present},
             {L"Q:\\x.dll", FileLookup::CannotExamine}};
    for (const std::wstring& p :
         {std::wstring(L"C:\\gone.dll"), std::wstring(L"Q:\\x.dll"), quoted, nul}) {
        files.try_emplace(p, FileLookup::Absent);
        engine.UnregisterMe(Add(p, kNodeDll, 0));
    }
    EXPECT_EQ(TakeLog(), (Lines{L"[File not found]: C:\\gone.dll", L"[Invalid path]: Q:\\x.dll",
                                L"[Invalid path]: " + quoted, L"[Invalid path]: " + nul}));
}

TEST_F(RegistrationTest, AFailedLaunchIsExplainedByWhatTheFileIsWhenItCanBeRead) {
    // Real files the real utility refused are explained under Wine; here what Wine cannot show.
    const std::string com32 = test::ComponentBytes(L"prowl_com32.dll"), text = "MZ, and no more";
    const std::wstring function = L"the component's registration function reported an error",
                       admin = L"istering for all users needs administrator rights)",
                       x = P(L"x.dll");
    const struct {
        const std::string* bytes;
        uint32_t code;
        bool registering, elevated;
        std::wstring reason;
    } cases[] = {
        // The 64-bit utility hands a 32-bit file to the 32-bit one: its processor is no reason.
        {&com32, 3, true, true, RegSvr32FailureReason(3, true)},
        {&text, 5, false, false, function + L" (unreg" + admin},
        {nullptr, 3, true, false, RegSvr32FailureReason(3, true)},
    };
    files[x] = FileLookup::Present;
    components.wow64 = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(test::ToUtf8(c.reason));
        components.bytes = c.bytes ? std::optional(*c.bytes) : std::nullopt;
        facts.Elevated = c.elevated;
        scripts.clear();
        scripts[U(x)].code = c.registering ? 3 : c.code;
        scripts[R(x)].code = c.code;
        EXPECT_EQ(c.registering ? engine.RegisterFile(x) : engine.UnregisterFile(x), c.reason);
        EXPECT_EQ(TakeLog().back(),
                  (c.registering ? L"[Registration failed]: " : L"[Unregistration failed]: ") + x +
                      L" - " + c.reason);
    }
}

TEST_F(RegistrationTest, AGroupRunHandlesIncludedFilesInOrderAndListsEveryFailureAfterDone) {
    const ObjectRef root = Add(L"C:\\P", kNodeFolder, 0, kFlagOff);  // the selected folder
    for (const wchar_t* name : {L"0.dll", L"a.dll", L"skip.dll", L"b.ocx"})
        Add(P(name), kNodeDll, 1, name[0] == L's' ? kFlagOff : kFlagOn);
    const ObjectRef sub = Add(P(L"Sub"), kNodeFolder, 1);
    Add(P(L"Sub\\c.dll"), kNodeDll, 6);
    Add(P(L"Sub\\Ex"), kNodeFolder, 6, kFlagOff);
    Add(P(L"Sub\\Ex\\ticked.dll"), kNodeDll, 8);
    Add(P(L"y.dll"), kNodeDll, 1);
    Add(P(L"z.dll"), kNodeDll, 1);
    Add(L"C:\\Q", kNodeFolder, 0);
    Add(L"C:\\Q\\q.dll", kNodeDll, 12);
    engine.RunGroup(root, true);
    EXPECT_EQ(TakeLog(),
              Log({L"+0.dll", L"+a.dll", L"+b.ocx", L"+Sub\\c.dll", L"+y.dll", L"+z.dll", L"."}));
    // A box ticked or cleared during the run counts when the walk gets there.
    window.window.onPump = [&] {
        state.DigColl->Item(4)->Included = kFlagOn;
        sub->Included = kFlagOff;
    };
    engine.RunGroup(root, false);
    EXPECT_EQ(TakeLog(),
              Log({L"-0.dll", L"-a.dll", L"-skip.dll", L"-b.ocx", L"-y.dll", L"-z.dll", L"."}));
    EXPECT_EQ(modes, (std::vector<int16_t>{3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4}));
    EXPECT_EQ(window.window.pointers, (std::vector<int32_t>{13, 1, 13, 1}));
    EXPECT_FALSE(logic.Button(kButtonStop).enabled);
    EXPECT_TRUE(window.prompts.messages.empty());

    const std::wstring why = L"The system cannot find it.",
                       notStarted = L" - RegSvr32 could not be started: " + why;
    files[P(L"0.dll")] = FileLookup::Absent;
    scripts[R(P(L"a.dll"))].code = 5;
    scripts[U(P(L"y.dll"))].cannotStart = why;
    Lines log = Log({L"[File not found]: C:\\P\\0.dll", L"+a.dll",
                     L"[Registration failed]: C:\\P\\a.dll - the component's registration "
                     L"function reported an error",
                     L"+skip.dll", L"+b.ocx", L">y.dll",
                     L"[RegSvr32 could not be started]: C:\\P\\y.dll - " + why,
                     L"Registered File: C:\\P\\z.dll",  // no second try
                     L"[RegSvr32 could not be started]: C:\\P\\z.dll - " + why});
    std::wstring box =
        L"The following files could not be registered:\nC:\\P\\0.dll - File not "
        L"found\nC:\\P\\a.dll - the component's registration function reported "
        L"an error\nC:\\P\\y.dll" +
        notStarted + L"\nC:\\P\\z.dll" + notStarted;
    for (int i = 1; i <= 23; ++i) {  // 27 failures in all
        const std::wstring p = P(std::to_wstring(i) + L".dll");
        files[p] = FileLookup::Absent;
        Add(p, kNodeDll, 1);
        log.push_back(L"[File not found]: " + p);
        if (i <= 21) box += L"\n" + p + L" - File not found";
    }
    log.push_back(L"Done.");
    window.window.onPump = nullptr;
    window.prompts.messageAnswers.push_back(MsgAnswer::Ok);
    engine.RunGroup(root, true);
    EXPECT_EQ(TakeLog(), log);
    ASSERT_EQ(window.prompts.messages.size(), 1u);
    const MessageBoxRequest& m = window.prompts.messages[0];
    EXPECT_EQ(m.title + L"|" + m.text,
              L"ActiveX Prowl - Registration Results|" + box + L"\n... and 2 more.");
    EXPECT_TRUE(m.buttons == MsgButtons::Ok && m.icon == MsgIcon::Exclamation);
}

TEST_F(RegistrationTest, StopEndsAGroupRunAfterTheFileInHandOrAbandonsItsHangingLaunch) {
    const ObjectRef root = Add(L"C:\\P", kNodeFolder, 0);
    for (const wchar_t* name : {L"a.dll", L"b.dll", L"c.dll"}) Add(P(name), kNodeDll, 1);
    state.ProcessMode = kProcessNewScan;  // another process runs: refused
    engine.RegisterMe(state.DigColl->Item(2));
    engine.UnregisterMe(state.DigColl->Item(2));
    engine.RunGroup(root, true);
    EXPECT_EQ(state.ProcessMode, kProcessNewScan);
    state.ProcessMode = kProcessIdle;
    window.window.onPump = [&] {
        // Stop first while b is announced, then again during a wait, which takes no command.
        const bool waiting = state.ProcessMode == kProcessIdle && logic.Button(kButtonStop).enabled;
        if (waiting) engine.RunGroup(root, true);
        if (waiting || logic.PanelText(kPanelAction).ends_with(L"File: C:\\P\\b.dll"))
            logic.OnToolbarButtonClick(L"Stop");
    };
    scripts[U(P(L"b.dll"))].looks = 0;
    engine.RunGroup(root, false);
    EXPECT_EQ(TakeLog(), Log({L"-a.dll", L"-b.dll", L"."}));
    scripts[R(P(L"b.dll"))].looks = -1;
    window.prompts.messageAnswers.push_back(MsgAnswer::Ok);
    engine.RunGroup(root, true);
    EXPECT_EQ(TakeLog(),
              Log({L"+a.dll", L"+b.dll", L"[RegSvr32 still running]: C:\\P\\b.dll", L"."}));
    EXPECT_EQ(
        window.prompts.messages.at(0).text,
        L"The following files could not be registered:\nC:\\P\\b.dll - RegSvr32 still running");
    EXPECT_EQ(window.window.beeps, 4);
    EXPECT_FALSE(logic.Busy() || logic.Button(kButtonStop).enabled);

    Add(L"", kNodeDll, 1);  // a failure on every way out puts mode, Stop and pointer back
    window.window.onPump = nullptr;
    EXPECT_ANY_THROW(engine.RunGroup(root, false));
    EXPECT_FALSE(state.ProcessMode != kProcessIdle || logic.Button(kButtonStop).enabled);
    EXPECT_EQ(window.window.pointers.back(), kPointerArrow);
}

TEST_F(RegistrationTest, HandEditedReferencesCannotLoopAndDeepChainsCannotOverflow) {
    // Placed as the tree places them: under the first record of the key, when it is earlier.
    const ObjectRef top = Add(L"C:\\A", kNodeFolder, 0);
    Add(P(L"t.dll"), kNodeDll, 1);
    const ObjectRef x = Add(P(L"X"), kNodeFolder, 4);  // its parent comes later
    Add(P(L"X\\Y"), kNodeFolder, 3);                   // and is its child: a loop
    Add(P(L"X\\Y\\x.dll"), kNodeDll, 4);
    const ObjectRef self = Add(P(L"S"), kNodeFolder, 6);  // its own parent
    Add(P(L"S\\s.dll"), kNodeDll, 6);
    const ObjectRef twin = Add(L"C:\\B", kNodeFolder, 0, kFlagOn, L"K1");
    for (const ObjectRef& folder : {top, twin, x, self}) engine.RunGroup(folder, false);
    EXPECT_EQ(TakeLog(), Log({L"-t.dll", L".", L".", L"-X\\Y\\x.dll", L".", L"-S\\s.dll", L"."}));

    state.DigColl = std::make_shared<ItemCollection>();
    const ObjectRef chain = Add(L"C:\\D", kNodeFolder, 0);
    for (int32_t i = 1; i < 100000; ++i) Add(L"C:\\D" + std::to_wstring(i), kNodeFolder, i);
    Add(P(L"deep.dll"), kNodeDll, 100000);
    engine.RunGroup(chain, false);
    EXPECT_EQ(TakeLog(), Log({L"-deep.dll", L"."}));
}

}  // namespace
}  // namespace prowl
