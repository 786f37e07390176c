// A component deeper than the old 260-character limit, under a 255-character name, through
// scan, inspection and registration on the real disk with the prefix's own
// registration utility: every step takes the whole path, and the registry holds it whole.
#include <gtest/gtest.h>
#include <windows.h>

#include "TestClsid.h"
#include "inspect/ComponentFacts.h"
#include "registration/RegistrationEngine.h"
#include "scan/PathScanner.h"
#include "support/TempTree.h"
#include "ui/memory/MemoryControls.h"
#include "win32/ComponentFile_win.h"
#include "win32/FileSystem_win.h"
#include "win32/Launcher_win.h"
#include "win32/SystemFacts_win.h"

namespace prowl {
namespace {

TEST(LongPaths, AComponentPastTheOldLimitIsScannedInspectedAndRegisteredWhole) {
    test::TempTree tree;
    std::wstring folder = L"deep";
    while (tree.Path(folder).size() < 300) folder += L"\\a folder of a long path";
    tree.Folder(folder);
    const std::wstring name = std::wstring(251, L'n') + L".dll",
                       file = tree.Path(folder) + L"\\" + name;
    ASSERT_TRUE(CopyFileW(L"Z:" PROWL_TEST_COMPONENTS L"/prowl_com.dll",
                          (L"\\\\?\\" + file).c_str(), FALSE));

    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    win32::Win32FileSystem fs;
    state.ProcessMode = kProcessNewScan;
    ASSERT_TRUE(PathScanner(state, fs, logic).ScanProjectPath(tree.Path(L"deep")));
    state.ProcessMode = kProcessIdle;
    const ObjectRef record = state.DigColl->FindByPath(file);
    ASSERT_TRUE(record && record->Exists && record->Text == name);

    win32::Win32ComponentFiles components;
    win32::Win32SystemFacts facts;
    const auto inspected = InspectComponent(file, components, facts, {});
    ASSERT_TRUE(inspected && inspected->Program && inspected->MissingDlls.empty());

    win32::Win32Launcher launcher{facts};
    RegistrationEngine engine{state, fs, launcher, logic, window.prompts, components, facts};
    const std::wstring key = prowl_test_component::ClassKey(name.c_str()) + L"\\InprocServer32";
    auto registered = [&] {
        wchar_t value[1024] = L"";
        DWORD size = sizeof value;
        RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
        return std::wstring(value);
    };
    window.window.onPump = [] { Sleep(2); };  // a real program takes its time
    engine.RegisterMe(record);
    EXPECT_EQ(registered() + L"|" + logic.PanelText(kPanelAction),
              file + L"|Registered File: " + file);
    engine.UnregisterMe(record);
    EXPECT_EQ(registered(), L"");
}

}  // namespace
}  // namespace prowl
