// The project tree in the real main window, driven by real mouse and keyboard input from the
// X server (xdotool), as a user drives it.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "GuiTestSupport.h"
#include "TestClsid.h"
#include "scan/PathScanner.h"
#include "support/TempTree.h"
#include "ui/MainWindowLogic.h"
#include "win32/FileSystem_win.h"
#include "win32/MainWindow_win.h"
#include "win32/Registry_win.h"

namespace prowl {
namespace {

using gui_test::Xdotool;

// "mousemove x y" to the middle of the node's check box, button or label, on screen.
std::wstring Spot(win32::MainWindow& window, int32_t node, UINT part) {
    gui_test::Pump(window);  // the control as drawn
    win32::Win32TreeView& tree = window.Tree();
    HTREEITEM item = tree.ShownItem(node);
    RECT text{};
    TreeView_GetItemRect(tree.Handle(), item, &text, TRUE);
    POINT pt{(text.left + text.right) / 2, (text.top + text.bottom) / 2};
    for (int x = 0; part != TVHT_ONITEMLABEL && x < text.left; ++x) {
        TVHITTESTINFO hit{{x, pt.y}, 0, nullptr};
        TreeView_HitTest(tree.Handle(), &hit);
        if (hit.hItem == item && (hit.flags & part)) {
            pt.x = x + 3;
            break;
        }
    }
    ClientToScreen(tree.Handle(), &pt);
    return L"mousemove " + std::to_wstring(pt.x) + L" " + std::to_wstring(pt.y);
}

// The real main window, shown, with the folder scanned and drawn as New leaves it.
std::unique_ptr<win32::MainWindow> ShowScanned(ProjectState& state, const std::wstring& folder) {
    gui_test::InitControls();
    auto window = win32::MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOWNORMAL);
    SetWindowPos(window->Handle(), HWND_TOP, 20, 20, 560, 620, SWP_SHOWWINDOW);
    MainWindowLogic& logic = window->Logic();
    logic.SetProcess(kProcessNewScan);
    win32::Win32FileSystem files;
    PathScanner(state, files, logic).ScanProjectPath(folder);
    logic.ProjectTree().BuildProjectTree(*state.DigColl);
    logic.SetProcess(kProcessIdle);
    return window;
}

TEST(ProjectTreeInTheWindow, RealClicksAndKeysReachTheRecords) {
    test::TempTree temp;
    for (const auto* file : {L"Tools\\a.dll", L"Tools\\b.ocx", L"Tools\\Sub\\c.ocx",
                             L"Tools\\Sub\\Deep\\d.dll", L"Tools\\Other\\e.dll"})
        temp.File(file);
    ProjectState state;
    auto window = ShowScanned(state, temp.Path(L"Tools"));
    MainWindowLogic& logic = window->Logic();
    win32::Win32TreeView& tree = window->Tree();
    auto record = [&](int32_t position) -> clsObject& { return *state.DigColl->Item(position); };
    auto click = [&](int32_t node, UINT part) { return Spot(*window, node, part) + L" click 1"; };
    // F2 on the selected node, the text typed, then Enter: true when each step took.
    auto rename = [&](const std::wstring& text) {
        auto editing = [&] {
            wchar_t buffer[64] = L"(none)";
            if (HWND edit = TreeView_GetEditControl(tree.Handle()))
                GetWindowTextW(edit, buffer, 64);
            return std::wstring(buffer);
        };
        return Xdotool(*window, L"key F2", [&] { return editing() != L"(none)"; }) &&
               Xdotool(*window, L"type --delay 10 " + text, [&] { return editing() == text; }) &&
               Xdotool(*window, L"key Return", [&] { return editing() == L"(none)"; });
    };

    // Scanned: 1 TOOLS, 2 a.dll, 3 b.ocx, 4 OTHER, 5 e.dll, 6 SUB, 7 c.ocx, 8 DEEP, 9 d.dll
    ASSERT_EQ(state.DigColl->Count(), 9);
    ASSERT_EQ(record(6).Text, L"SUB");
    EXPECT_EQ(tree.Text(1), L"Active X Controls (" + temp.Path(L"Tools") + L")");
    for (int32_t node : {2, 7})  // TOOLS, then SUB inside it
        EXPECT_TRUE(Xdotool(*window, click(node, TVHT_ONITEMBUTTON),
                            [&] { return record(node - 1).Expanded == L"1"; }));
    EXPECT_TRUE(Xdotool(*window, click(7, TVHT_ONITEMSTATEICON),
                        [&] { return record(6).Included == L"0"; }));
    EXPECT_EQ(record(1).Included + record(7).Included + record(8).Included + record(9).Included,
              L"1000");
    EXPECT_TRUE(logic.MenuItem(L"mnuFileSave").enabled);

    EXPECT_TRUE(Xdotool(*window, click(3, TVHT_ONITEMLABEL),
                        [&] { return logic.ProjectTree().SelectedNodeIndex() == 3; }));
    EXPECT_EQ(logic.FilePath(), temp.Path(L"Tools\\a.dll"));
    EXPECT_TRUE(rename(L"Renamed.dll"));
    EXPECT_EQ(record(2).Text + L" " + tree.Text(3), L"Renamed.dll Renamed.dll");

    // Every picture, as a project opened after some of its items went missing shows them.
    for (int32_t p : {3, 4, 5}) record(p).Exists = false;
    record(6).Expanded = L"1";
    logic.ProjectTree().BuildProjectTree(*state.DigColl);
    Xdotool(*window, L"sleep 0.2", [] { return false; });
    gui_test::SaveScreenshot(window->Handle(), "project-tree");
}

// The popup opened by a real right-click on a folder node runs the prefix's registration
// utility on every file beneath it, waited for by the real window.
TEST(ProjectTreeInTheWindow, ThePopupRegistersAndUnregistersAFolderForReal) {
    using prowl_test_component::ClassKey;
    const wchar_t* const names[] = {L"prowl_gui_a.dll", L"prowl gui b.ocx", L"prowl_gui_c.dll"};
    struct CleanUp {
        const wchar_t* const* names;
        ~CleanUp() {
            for (int i = 0; i < 3; ++i)
                for (const std::wstring& key :
                     {ClassKey(names[i]), prowl_test_component::TypeLibKey(names[i])})
                    RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        }
    } cleanUp{names};
    test::TempTree temp;
    std::wstring paths[3];
    for (int i = 0; i < 3; ++i) {
        const std::wstring relative =
            (i == 2 ? L"Comps\\Sub\\" : L"Comps\\") + std::wstring(names[i]);
        temp.File(relative);
        paths[i] = temp.Path(relative);
        ASSERT_TRUE(
            CopyFileW(L"Z:" PROWL_TEST_COMPONENTS L"/prowl_com.dll", paths[i].c_str(), FALSE));
    }
    ProjectState state;
    auto window = ShowScanned(state, temp.Path(L"Comps"));
    MainWindowLogic& logic = window->Logic();
    win32::Win32RegistryReader registry;
    // The files whose classes name them, one letter each ("ab-": a and b registered).
    const auto registered = [&] {
        std::wstring letters;
        for (int i = 0; i < 3; ++i) {
            const auto key =
                registry.Open(RegistryRoot::ClassesRoot, ClassKey(names[i]) + L"\\InprocServer32",
                              RegistryView::Native);
            const auto value = key ? key->QueryValue(L"") : std::nullopt;
            const bool named =
                value && reinterpret_cast<const wchar_t*>(value->data.c_str()) == paths[i];
            letters += named ? static_cast<wchar_t>(L'a' + i) : L'-';
        }
        return letters;
    };
    // A real right-click on the node opens the popup; its own loop holds this thread until
    // the item is chosen, so a second thread finds the popup and clicks the item as a user.
    const auto choose = [&](int32_t node, const std::wstring& item, const char* screenshot,
                            const std::wstring& outcome) {
        std::thread user([&] {
            HWND popup = nullptr;
            for (int i = 0; i < 500 && !(popup = FindWindowW(L"#32768", nullptr)); ++i) Sleep(10);
            if (!popup) return;
            Sleep(200);  // drawn
            const HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
            RECT rc{};
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                wchar_t text[64] = {};
                GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                if (text == item) GetMenuItemRect(popup, menu, static_cast<UINT>(i), &rc);
            }
            if (screenshot) gui_test::SaveScreenshot(window->Handle(), screenshot);
            test::RunUnix(L"/usr/bin/xdotool",
                          L"mousemove " + std::to_wstring((rc.left + rc.right) / 2) + L" " +
                              std::to_wstring((rc.top + rc.bottom) / 2) + L" click 1");
        });
        const bool done = Xdotool(*window, Spot(*window, node, TVHT_ONITEMLABEL) + L" click 3",
                                  [&] { return registered() == outcome; });
        user.join();
        return done;
    };

    ASSERT_EQ(state.DigColl->Item(1)->Path, temp.Path(L"Comps"));
    ASSERT_TRUE(Xdotool(*window, Spot(*window, 2, TVHT_ONITEMLABEL) + L" click 1",
                        [&] { return logic.MenuItem(L"mnuGroup_Reg").enabled; }));
    EXPECT_TRUE(choose(2, L"Register Group", "registration-popup", L"abc"));
    EXPECT_EQ(logic.PanelText(kPanelAction), L"Done.");
    logic.StatusBar_Update(kPanelAction, L"");
    EXPECT_TRUE(choose(2, L"Unregister Group", nullptr, L"---"));
    EXPECT_EQ(logic.PanelText(kPanelAction), L"Done.");
    EXPECT_EQ(logic.Pointer(), kPointerArrow);
}

}  // namespace
}  // namespace prowl
