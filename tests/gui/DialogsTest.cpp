// The five dialogs in real dialog boxes: every control read back from its window, their texts
// as they stand, real input on the start path chooser, the keys every dialog answers, and a
// picture of each in the test output.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "GuiTestSupport.h"
#include "inspect/InspectTestSupport.h"
#include "model/ProwlError.h"
#include "support/TempTree.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/dialogs/ChangeReport.h"
#include "ui/dialogs/DetailsDialogs.h"
#include "ui/dialogs/FolderChooser.h"
#include "win32/ComponentFile_win.h"
#include "win32/Dialogs_win.h"
#include "win32/Drives_win.h"
#include "win32/FileSystem_win.h"
#include "win32/Images_win.h"
#include "win32/Launcher_win.h"
#include "win32/Locale_win.h"
#include "win32/Prompts_win.h"
#include "win32/Registry_win.h"
#include "win32/SystemFacts_win.h"

namespace prowl {
namespace {

using gui_test::Text;
using gui_test::WhenShown;

// A list's entries as the control holds them, a tree's as "image|text"; none elsewhere.
std::vector<std::wstring> Items(HWND hwnd, ControlKind kind) {
    std::vector<std::wstring> items;
    wchar_t text[1024] = {};
    if (kind == ControlKind::TreeList) {
        for (auto item = TreeView_GetRoot(hwnd); item; item = TreeView_GetNextSibling(hwnd, item)) {
            TVITEMW tv{};
            tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_HANDLE;
            tv.hItem = item;
            tv.pszText = text;
            tv.cchTextMax = 1024;
            TreeView_GetItem(hwnd, &tv);
            items.push_back(win32::TreeImageKeys().at(static_cast<size_t>(tv.iImage)) + L"|" +
                            text);
        }
        return items;
    }
    const bool combo = kind == ControlKind::DriveList;
    if (!combo && kind != ControlKind::DirectoryList) return items;
    for (LRESULT i = 0; i < SendMessageW(hwnd, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0); ++i) {
        SendMessageW(hwnd, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::shared_ptr<clsObject> Record(std::wstring type, std::wstring path, std::wstring key = L"") {
    auto record = std::make_shared<clsObject>();
    std::tie(record->NodeType, record->Path, record->Key) = std::tuple(type, path, key);
    return record;
}

void PostKey(WORD key) { PostMessageW(GetFocus(), WM_KEYDOWN, key, 1); }

HWND ControlOf(HWND dialog, const ModalDialog& logic, const std::wstring& name) {
    const auto& controls = logic.Controls();
    const auto at = std::find_if(controls.begin(), controls.end(),
                                 [&](const auto& c) { return c.name == name; });
    return GetDlgItem(dialog,
                      win32::kFirstDialogControlId + static_cast<int>(at - controls.begin()));
}

// Every control of the logic has a window in the dialog that shows what the logic holds, lies
// inside the dialog and is clear of every other control.
void ExpectMirrors(HWND dialog, const ModalDialog& logic) {
    EXPECT_EQ(Text(dialog), logic.Caption());
    RECT client, overlap;
    GetClientRect(dialog, &client);
    std::vector<RECT> taken;
    for (const DialogControl& control : logic.Controls()) {
        SCOPED_TRACE(test::ToUtf8(control.name));
        HWND hwnd = ControlOf(dialog, logic, control.name);
        ASSERT_TRUE(hwnd && IsWindowVisible(hwnd));
        EXPECT_EQ(IsWindowEnabled(hwnd) != FALSE, control.enabled);
        RECT rc;
        GetWindowRect(hwnd, &rc);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_TRUE(rc.left >= 0 && rc.top >= 0 && rc.right <= client.right &&
                    rc.bottom <= client.bottom && rc.right > rc.left && rc.bottom > rc.top);
        for (const RECT& other : taken) EXPECT_FALSE(IntersectRect(&overlap, &rc, &other));
        taken.push_back(rc);
        std::vector<std::wstring> items;
        for (const auto& item : control.items)
            items.push_back(control.kind == ControlKind::TreeList ? item.image + L"|" + item.text
                                                                  : item.text);
        EXPECT_EQ(Items(hwnd, control.kind), items);
        if (control.kind == ControlKind::DriveList || control.kind == ControlKind::DirectoryList) {
            const UINT get = control.kind == ControlKind::DriveList ? CB_GETCURSEL : LB_GETCURSEL;
            EXPECT_EQ(SendMessageW(hwnd, get, 0, 0), control.selected);
        }
        if (control.text.empty()) continue;
        EXPECT_EQ(Text(hwnd), control.text);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(font),
                   &font);
        EXPECT_EQ(font.lfWeight >= FW_BOLD, control.kind == ControlKind::CaptionLabel);
    }
}

class RealDialogs : public ::testing::Test {
  protected:
    gui_test::Window owner = gui_test::MakeWindow(600, 400);
    win32::Win32DialogHost host{owner.get()};
    win32::Win32FileSystem files;
    win32::Win32Prompts prompts{owner.get()};
    test::TempTree tree;
};

TEST_F(RealDialogs, ChooserTellsOfADriveThatCannotBeReadAndOpensAFolderByEnter) {
    tree.Folder(L"start\\sub");
    const wchar_t letter = test::UnusedDriveLetter();
    // Opens in "start", with a drive that names no folder added to the list.
    struct WithNewDrive : win32::Win32MachineDrives {
        std::wstring root, start;
        std::vector<std::wstring> DriveRoots() override {
            auto roots = Win32MachineDrives::DriveRoots();
            roots.push_back(root);
            return roots;
        }
        std::wstring CurrentFolder() override { return start; }
    } drives;
    drives.root = std::wstring(1, letter) + L":\\";
    drives.start = tree.Path(L"start");
    FolderChooser chooser(drives, files, prompts);

    WhenShown(kChooserCaption, [&](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(owner.get())) << "the owner waits";
        std::wstring told;  // the message, which the chooser owns
        WhenShown(kChooserCaption, [&](HWND box) {
            told = Text(GetDlgItem(box, 0xFFFF));
            EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        HWND combo = ControlOf(dialog, chooser, L"aDrive");
        const LRESULT had = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        SendMessageW(combo, CB_SETCURSEL, SendMessageW(combo, CB_GETCOUNT, 0, 0) - 1, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
        EXPECT_EQ(told.substr(0, 24), std::wstring(1, letter) + L":\\ is not accessible.\n\n");
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), had) << "back on the drive it had";

        // Enter opens the folder highlighted in the list (a parent), not the default button.
        HWND list = ControlOf(dialog, chooser, L"aDir");
        SetFocus(list);
        SendMessageW(list, LB_SETCURSEL, SendMessageW(list, LB_GETCOUNT, 0, 0) - 3, 0);
        PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
        gui_test::Until([&] { return chooser.CurrentPath() == tree.Root(); },
                        [&] {  // as the dialog's own loop does: keys go to the dialog manager
                            for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
                                if (!IsDialogMessageW(dialog, &msg)) DispatchMessageW(&msg);
                        });
        ExpectMirrors(dialog, chooser);
        SendMessageW(ControlOf(dialog, chooser, L"cmdOK"), BM_CLICK, 0, 0);
    });
    host.ShowModal(chooser);
    EXPECT_EQ(chooser.Folder(), tree.Root());
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
}

TEST_F(RealDialogs, EachDialogShowsItsTextsAsTheyStandAndClosesByItsKeys) {
    ItemCollection before, after;
    for (const auto* line :
         {L"1C:\\Tools\\Old", L"3C:\\Tools\\Old\\grid32.ocx", L"2C:\\Tools\\New\\chart.dll"}) {
        auto record =
            Record(std::wstring(line, 1), line + 1, L"K" + std::to_wstring(before.Count() + 1));
        (record->Path.find(L"New") == std::wstring::npos ? before : after).Add(record);
    }
    ChangeReport report;
    report.Init(before, after);
    win32::Win32MachineDrives drives;
    FolderChooser chooser(drives, files, prompts);
    win32::Win32LocaleFormat locale;
    win32::Win32RegistryReader registry;
    win32::Win32ComponentFiles components;
    const win32::Win32SystemFacts facts;
    const InspectionSources inspection{components, facts,
                                       [&] { return RegistrationIndex::Build(registry, facts); }};
    // A component the real utility registered, and one whose DLL is gone.
    const std::string com = test::ComponentBytes(L"prowl_com.dll");
    tree.File(L"Common Files\\shown.dll", com);
    tree.File(L"Common Files\\needsdep.dll", test::ComponentBytes(L"prowl_needsdep.dll"));
    ItemCollection items;
    for (const auto* name : {L"shown.dll", L"needsdep.dll"})
        items.Add(Record(kNodeDll, tree.Path(std::wstring(L"Common Files\\") + name)));
    FileDetailsDialog fileDetails(files, locale, prompts, inspection),
        broken(files, locale, prompts, inspection);
    clsSaveFile project;
    project.Folder_Count = 3;
    project.DLL_Count = 5;
    project.OCX_Count = 2;
    project.DLL_Missing = 2;
    ProjectDetailsDialog projectDetails;
    const std::wstring shown = items.Item(1)->Path;
    ASSERT_EQ(test::RunRegsvr32(L"/s \"" + shown + L"\""), 0u);
    ASSERT_FALSE(fileDetails.Init(shown));
    projectDetails.Init(project, items, inspection.registration());
    ASSERT_EQ(test::RunRegsvr32(L"/u /s \"" + shown + L"\""), 0u);
    ASSERT_FALSE(broken.Init(items.Item(2)->Path));
    EXPECT_EQ(broken.Text(L"lblRegistered") + L"|" + broken.Text(L"lblMissingDlls"),
              L"No|prowldep.dll");
    win32::Win32Launcher launcher(facts);
    AboutBox about(registry, launcher, files, prompts, facts.SystemFolder(Bitness::Bits64));

    struct Case {
        ModalDialog& dialog;
        UINT key;  // 0: the close box
        std::vector<std::wstring> texts;
    } cases[] = {
        {chooser,
         VK_ESCAPE,
         {L"ActiveX Prowl - Choose Start Path",
          L"Choose a start path for your desired ActiveX objects", L"Initial Drive:",
          L"Initial Directory:", L"&OK", L"&Cancel"}},
        {report,
         VK_RETURN,
         {L"Objects Added / Removed During Re-Prowl Process",
          L"The objects shown in the list, below, were added during the re-prowl process.  These "
          L"objects now exist under the project's start path.  If you do not wish to include these "
          L"objects in your project, then do not save the changes to the project.  Press OK to "
          L"return to the project.",
          L"Obejcts Added to Project",
          L"The objects shown in the list, below, were removed during the re-prowl process.  "
          L"These objects no longer exist under the project's start path.  If you do not wish to "
          L"exclude these objects from your project, then do not save the changes to the project.  "
          L"Press OK to return to the project.",
          L"Obejcts Removed from Project", L"&OK"}},
        {fileDetails,
         VK_RETURN,
         {L"File Details", L"File Name....................", L"File Type.....................",
          L"File Size......................", locale.GroupedNumber(com.size()) + L" Bytes",
          L"Date Created...............", L"Date Modified..............",
          L"Date Accessed............", L"Built For....................", L"64-bit (x64)",
          L"Entry Points.................", L"Register and Unregister",
          L"Registered...................", L"Yes, 1 class, 1 type library",
          L"Missing DLLs.................", L"None", L"&OK"}},
        {projectDetails,
         0,
         {L"Project Details", L"Folder Count......................", L"3", L"(0 missing)",
          L"DLL Count.........................", L"5", L"(2 missing)",
          L"OCX Count........................", L"2", L"(0 missing)",
          L"Total Objects.....................", L"10", L"(2 missing)",
          L"Registered Now...............", L"1 of 2", L"&OK"}},
        {about,
         VK_ESCAPE,
         {L"About ActiveXProwl", L"ActiveXProwl", L"Version 1.0.0",
          L"ActiveX Prowl manages all ActiveX controls (*.DLL and *.OCX) within a specified "
          L"path.  Most ActiveX control management applications approach control management from "
          L"the registry level.  ActiveX Prowl manages these controls from the file level, "
          L"allowing the user to register and unregister the controls.  ActiveX Prowl treats each "
          L"search as a project.  You can create, modify, save and load ActiveX Prowl projects.  "
          L"Within a project, you may choose to include / exclude controls and / or folders.",
          L"Use of this program results in changes to your PC's registry.  Tampering with the "
          L"registration of certain files may cause Windows to become unstable or inoperable.  "
          L"Please use caution.  YOU are responsible for any and every action performed by this "
          L"software.",
          L"OK", L"&System Info..."}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(test::ToUtf8(c.dialog.Form()));
        WhenShown(c.dialog.Caption(), [&](HWND dialog) {
            ExpectMirrors(dialog, c.dialog);
            // The caption, then every text but the file's own name and dates.
            std::vector<std::wstring> texts{Text(dialog)};
            for (const auto& control : c.dialog.Controls())
                if (!control.text.empty() && control.kind != ControlKind::TreeList &&
                    control.name.rfind(L"lblDate", 0) && control.name != L"lblFileName" &&
                    control.name != L"lblType")
                    texts.push_back(Text(ControlOf(dialog, c.dialog, control.name)));
            EXPECT_EQ(texts, c.texts);
            if (&c.dialog == &about) {
                EXPECT_NE(SendMessageW(ControlOf(dialog, about, L"Image1"), STM_GETICON, 0, 0), 0);
                EXPECT_EQ(GetFocus(), ControlOf(dialog, about, L"cmdOK"));
                // The warning is drawn in the colour the dialog gives it, the description not.
                HDC dc = CreateCompatibleDC(nullptr);
                for (const auto* name : {L"lblDescription", L"lblDisclaimer"}) {
                    SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(ControlOf(dialog, about, name)));
                    EXPECT_EQ(GetTextColor(dc) == RGB(192, 0, 0),
                              std::wstring(name) == L"lblDisclaimer");
                }
                DeleteDC(dc);
            }
            gui_test::SaveScreenshot(dialog, test::ToUtf8(c.dialog.Form()));
            if (c.key)
                PostKey(static_cast<WORD>(c.key));
            else
                PostMessageW(dialog, WM_CLOSE, 0, 0);
        });
        host.ShowModal(c.dialog);
        EXPECT_TRUE(c.dialog.Closed());
    }
    EXPECT_EQ(chooser.Folder(), L"") << "Escape hands back nothing";
    // The same component once unregistered, and one that lacks its DLL, as a user sees them.
    FileDetailsDialog unregistered(files, locale, prompts, inspection);
    ASSERT_FALSE(unregistered.Init(shown));
    EXPECT_EQ(unregistered.Text(L"lblRegistered"), L"No");
    for (auto [dialog, name] : {std::pair{&unregistered, "frmFileDetails-unregistered"},
                                std::pair{&broken, "frmFileDetails-broken"}}) {
        WhenShown(dialog->Caption(), [&](HWND shownDialog) {
            gui_test::SaveScreenshot(shownDialog, name);
            PostKey(VK_RETURN);
        });
        host.ShowModal(*dialog);
    }
}

TEST_F(RealDialogs, AnErrorInsideTheDialogEndsItAndReachesTheCaller) {
    struct Failing : ModalDialog {
        Failing() : ModalDialog(L"frmFailing", L"Prowl failing dialog") {
            Add({.name = L"cmdOK", .kind = ControlKind::Button, .text = L"OK", .isDefault = true});
        }
        void OnClick(const std::wstring&) override { throw ProwlError(L"disk gone"); }
    } failing;
    WhenShown(failing.Caption(), [](HWND) { PostKey(VK_RETURN); });
    EXPECT_THROW(host.ShowModal(failing), ProwlError);
    EXPECT_EQ(FindWindowW(L"#32770", L"Prowl failing dialog"), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
}

}  // namespace
}  // namespace prowl
