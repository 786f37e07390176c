// The prefix's own registration utility on real copies of the test components, waited for by
// the real window, with the registry read back afterwards.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include "TestClsid.h"
#include "scan/PathScanner.h"
#include "support/TempTree.h"
#include "ui/memory/MemoryControls.h"
#include "win32/ComponentFile_win.h"
#include "win32/FileSystem_win.h"
#include "win32/Launcher_win.h"
#include "win32/MainWindow_win.h"
#include "win32/Registry_win.h"
#include "win32/SystemFacts_win.h"

namespace prowl {
namespace {

using prowl_test_component::ClassKey;

MainWindowLogic* stopTarget = nullptr;

class RegistrationWineTest : public ::testing::Test {
  protected:
    ~RegistrationWineTest() override {
        for (const wchar_t* name :
             {L"alpha.dll", L"beta one.ocx", L"gamma.dll", L"delta.dll", L"prowl_needsdep.dll"})
            for (const std::wstring& key : {ClassKey(name), prowl_test_component::TypeLibKey(name)})
                RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    }
    // A copy of a test component at the relative path, or a text file when none is named.
    std::wstring Put(const std::wstring& relative, const wchar_t* component = nullptr) {
        tree.File(relative, "not a program");
        const std::wstring from =
            L"Z:" PROWL_TEST_COMPONENTS L"/" + std::wstring(component ? component : L"");
        EXPECT_TRUE(!component || CopyFileW(from.c_str(), tree.Path(relative).c_str(), FALSE));
        return tree.Path(relative);
    }
    // The file that the class named after this file's name is registered to, "" for none.
    std::wstring RegisteredFile(const std::wstring& path) {
        const auto key = registry.Open(
            RegistryRoot::ClassesRoot,
            ClassKey(path.substr(path.rfind(L'\\') + 1).c_str()) + L"\\InprocServer32",
            RegistryView::Native);
        const auto value = key ? key->QueryValue(L"") : std::nullopt;
        return value ? reinterpret_cast<const wchar_t*>(value->data.c_str()) : L"";
    }

    ProjectState state;
    std::unique_ptr<win32::MainWindow> window = [this] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        return win32::MainWindow::Create(GetModuleHandleW(nullptr), state, SW_HIDE);
    }();
    MainWindowLogic& logic = window->Logic();
    test::TempTree tree;
    win32::Win32FileSystem fs;
    win32::Win32SystemFacts facts;
    win32::Win32Launcher launcher{facts};
    win32::Win32RegistryReader registry;
    ScriptedPrompts prompts;
    win32::Win32ComponentFiles components;
    RegistrationEngine engine{state, fs, launcher, logic, prompts, components, facts};
};

TEST_F(RegistrationWineTest, GroupRunsWriteAndRemoveEntriesExplainFailuresAndCanBeStopped) {
    const std::wstring registers[] = {
        Put(L"alpha.dll", L"prowl_com.dll"), Put(L"with space\\beta one.ocx", L"prowl_com.dll"),
        Put(L"sub\\gamma.dll", L"prowl_com.dll"),
        Put(L"needs\\prowl_needsdep.dll", L"prowl_needsdep.dll")};  // beside its DLL
    const std::wstring excluded = Put(L"excluded\\delta.dll", L"prowl_com.dll");
    const std::wstring dependency = Put(L"needs\\prowldep.dll", L"prowldep.dll");
    const std::wstring com32 = Put(L"com32.dll", L"prowl_com32.dll"),
                       fail = Put(L"fail.dll", L"prowl_fail.dll"), junk = Put(L"junk.dll"),
                       noentry = Put(L"noentry.dll", L"prowl_noentry.dll"),
                       alone = Put(L"alone\\needsdep.dll", L"prowl_needsdep.dll");
    state.ProcessMode = kProcessNewScan;
    PathScanner(state, fs, logic).ScanProjectPath(tree.Root());
    state.ProcessMode = kProcessIdle;
    state.DigColl->FindByPath(tree.Path(L"excluded"))->Included = kFlagOff;
    state.DigColl->FindByPath(dependency)->Included = kFlagOff;
    // Explained by what inspection finds in each file.
    const std::wstring x86 =
                           L" - the file is built for 32-bit (x86), which the 64-bit RegSvr32 "
                           L"here cannot load\n",
                       notProgram = L" - the file is not a program file\n",
                       missing = L" - the file could not be loaded - missing prowldep.dll";

    prompts.messageAnswers = {MsgAnswer::Ok, MsgAnswer::Ok};
    engine.RunGroup(state.DigColl->Item(1), true);
    for (const std::wstring& path : registers) EXPECT_EQ(RegisteredFile(path), path);
    EXPECT_EQ(RegisteredFile(excluded), L"");
    engine.RunGroup(state.DigColl->Item(1), false);
    for (const std::wstring& path : registers) EXPECT_EQ(RegisteredFile(path), L"");
    EXPECT_EQ(logic.PanelText(kPanelAction), L"Done.");
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].text,
              L"The following files could not be registered:\n" + com32 + x86 + fail +
                  L" - the component's registration function reported an error\n" + junk +
                  notProgram + noentry + L" - the file has no DllRegisterServer entry point\n" +
                  alone + missing);
    EXPECT_EQ(prompts.messages[1].title + L"|" + prompts.messages[1].text,
              L"ActiveX Prowl - Unregistration Results|The following files could not be "
              L"unregistered:\n" +
                  com32 + x86 + junk + notProgram + noentry +
                  L" - the file has no DllUnregisterServer entry point\n" + alone + missing);

    // Any program of the system folder starts in the folder given.
    const StartResult started =
        launcher.StartHidden(L"cmd.exe", L"cmd /c echo>here.txt", tree.Root());
    while (started.process && !started.process->WaitForExitOrInput(INFINITE)) {
    }
    EXPECT_NE(GetFileAttributesW(tree.Path(L"here.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    // A timer presses Stop as soon as it is there, which is only while a launch is waited for.
    stopTarget = &logic;
    const UINT_PTR timer = SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR, DWORD) {
        if (stopTarget->Button(kButtonStop).enabled) stopTarget->OnToolbarButtonClick(L"Stop");
    });
    engine.RegisterMe(state.DigColl->FindByPath(tree.Path(L"alpha.dll")));
    KillTimer(nullptr, timer);
    EXPECT_EQ(logic.PanelText(kPanelAction), L"[RegSvr32 still running]: " + registers[0]);
    EXPECT_FALSE(logic.Busy());
}

}  // namespace
}  // namespace prowl
