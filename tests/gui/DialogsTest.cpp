// The five dialogs in real dialog boxes: every control read back from its window, their texts
// as they stand, the chooser's own notifications, the keys every dialog answers, and a picture
// of each in the test output.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "inspect/InspectTestSupport.h"
#include "model/ProwlError.h"
#include "support/TempTree.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/dialogs/ChangeReport.h"
#include "ui/dialogs/DetailsDialogs.h"
#include "ui/dialogs/FolderChooser.h"
#include "win32/Dialogs_win.h"
#include "win32/Drives_win.h"
#include "win32/FileSystem_win.h"
#include "win32/Images_win.h"
#include "win32/ProgramServices_win.h"
#include "win32/Prompts_win.h"

namespace prowl {
namespace {

// The entries a list, a combo box or a tree holds, a tree's as image key and text, each ended
// by "|"; then a list's selection.
std::wstring Items(HWND hwnd, ControlKind kind) {
    std::wstring items;
    wchar_t text[1024] = {};
    for (auto item = TreeView_GetRoot(hwnd); kind == ControlKind::TreeList && item;
         item = TreeView_GetNextSibling(hwnd, item)) {
        TVITEMW tv{TVIF_TEXT | TVIF_IMAGE, item, 0, 0, text, 1024, 0, 0, 0, 0};
        TreeView_GetItem(hwnd, &tv);
        items += win32::TreeImageKeys().at(static_cast<size_t>(tv.iImage)) + text + L"|";
    }
    const bool combo = kind == ControlKind::DriveList;
    if (!combo && kind != ControlKind::DirectoryList) return items;
    for (LRESULT i = 0; i < SendMessageW(hwnd, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0); ++i) {
        SendMessageW(hwnd, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items += text + std::wstring(L"|");
    }
    return items + std::to_wstring(SendMessageW(hwnd, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

// Every control of the logic has a window in the dialog, visible and inside it, that shows what
// the logic holds. The caption and the texts shown, but the file's own name, type and dates, in
// the order of the controls.
std::vector<std::wstring> ExpectMirrors(HWND dialog, const ModalDialog& logic) {
    std::vector<std::wstring> texts{gui_test::Text(dialog)};
    RECT client;
    GetClientRect(dialog, &client);
    int id = win32::kFirstDialogControlId;
    for (const DialogControl& control : logic.Controls()) {
        SCOPED_TRACE(test::ToUtf8(control.name));
        HWND hwnd = GetDlgItem(dialog, id++);
        RECT rc, inside;
        GetWindowRect(hwnd, &rc);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_TRUE(IsWindowVisible(hwnd) && IntersectRect(&inside, &rc, &client) &&
                    EqualRect(&inside, &rc));
        EXPECT_EQ(IsWindowEnabled(hwnd) != FALSE, control.enabled);
        // The caption labels alone in bold, the warning alone in red, the icon drawn.
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(font),
                   &font);
        EXPECT_EQ(font.lfWeight >= FW_BOLD, control.kind == ControlKind::CaptionLabel);
        HDC dc = CreateCompatibleDC(nullptr);
        SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(hwnd));
        EXPECT_EQ(GetTextColor(dc) == RGB(192, 0, 0), control.kind == ControlKind::WarningLabel);
        DeleteDC(dc);
        EXPECT_EQ(SendMessageW(hwnd, STM_GETICON, 0, 0) != 0, control.kind == ControlKind::Icon);
        std::wstring items;
        for (const auto& item : control.items)
            items += (control.kind == ControlKind::TreeList ? item.image : L"") + item.text + L"|";
        if (control.kind == ControlKind::DriveList || control.kind == ControlKind::DirectoryList)
            items += std::to_wstring(control.selected);
        EXPECT_EQ(Items(hwnd, control.kind), items);
        const bool varies = control.name.starts_with(L"lblDate") ||
                            control.name == L"lblFileName" || control.name == L"lblType";
        if (!control.text.empty() && control.kind != ControlKind::TreeList && !varies)
            texts.push_back(gui_test::Text(hwnd));
    }
    return texts;
}

// The machine's drives and one that names no folder.
struct WithNewDrive : win32::Win32MachineDrives {
    std::vector<std::wstring> DriveRoots() override {
        auto roots = Win32MachineDrives::DriveRoots();
        roots.push_back(root);
        return roots;
    }
    std::wstring root = std::wstring(1, test::UnusedDriveLetter()) + L":\\";
};

TEST(RealDialogs, EachShowsWhatItsLogicHoldsWithItsTextsAndClosesByItsKeys) {
    const gui_test::Window owner = gui_test::MakeWindow(600, 400);
    win32::Win32FileSystem files;
    const win32::Win32ProgramServices platform(owner.get(), files);
    const ProgramServices& r = platform.Services();
    win32::Win32Prompts prompts{owner.get()};
    test::TempTree tree;
    WithNewDrive drives;
    FolderChooser chooser(drives, files, prompts);
    const InspectionSources inspection{
        r.components, r.system, [&] { return RegistrationIndex::Build(r.registry, r.system); }};
    // A component the real utility registered, and a file that is gone.
    const std::string com = test::ComponentBytes(L"prowl_com.dll");
    const std::wstring shown = tree.Path(L"shown.dll");
    tree.File(L"shown.dll", com);
    ItemCollection items;  // in the project, and added by a re-scan
    for (const std::wstring& path : {shown, tree.Path(L"gone.dll")})
        items.Add(std::make_shared<clsObject>(
            clsObject{0, 0, kNodeDll, path, true, L"K" + path, L"", L"", L"", L""}));
    ChangeReport report;
    report.Init(ItemCollection(), items);
    FileDetailsDialog fileDetails(files, r.locale, prompts, inspection);
    ProjectDetailsDialog projectDetails;
    ASSERT_EQ(test::RunRegsvr32(L"/s \"" + shown + L"\""), 0u);
    ASSERT_FALSE(fileDetails.Init(shown));
    projectDetails.Init(clsSaveFile(), items, inspection.registration());
    ASSERT_EQ(test::RunRegsvr32(L"/u /s \"" + shown + L"\""), 0u);
    AboutBox about(r.registry, r.launcher, files, prompts, r.system.SystemFolder(Bitness::Bits64));

    // The chooser tells of a drive that cannot be read in a message of its own and goes back
    // to the drive it had.
    const auto choose = [&](HWND dialog) {
        std::wstring told;
        gui_test::WhenShown(kChooserCaption, [&](HWND box) {
            told = gui_test::Text(GetDlgItem(box, 0xFFFF));
            EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        HWND combo = FindWindowExW(dialog, nullptr, WC_COMBOBOXW, nullptr);
        const LRESULT had = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        SendMessageW(combo, CB_SETCURSEL, SendMessageW(combo, CB_GETCOUNT, 0, 0) - 1, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
        EXPECT_EQ(told.substr(0, 24) + std::to_wstring(SendMessageW(combo, CB_GETCURSEL, 0, 0)),
                  drives.root + L" is not accessible.\n\n" + std::to_wstring(had));
    };

    // Each dialog, the key that closes it (0: the close box), and the texts it shows.
    ModalDialog* const dialogs[] = {&chooser, &report, &fileDetails, &projectDetails, &about};
    const UINT keys[] = {VK_ESCAPE, VK_RETURN, VK_RETURN, 0, VK_ESCAPE};
    const std::vector<std::wstring> texts[] = {
        {L"ActiveX Prowl - Choose Start Path",
         L"Choose a start path for your desired ActiveX objects", L"Initial Drive:",
         L"Initial Directory:", L"&OK", L"&Cancel"},
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
         L"Obejcts Removed from Project", L"&OK"},
        {L"File Details", L"File Name....................", L"File Type.....................",
         L"File Size......................", r.locale.GroupedNumber(com.size()) + L" Bytes",
         L"Date Created...............", L"Date Modified..............",
         L"Date Accessed............", L"Built For....................", L"64-bit (x64)",
         L"Entry Points.................", L"Register and Unregister",
         L"Registered...................", L"Yes, 1 class, 1 type library",
         L"Missing DLLs.................", L"None", L"&OK"},
        {L"Project Details", L"Folder Count......................", L"0", L"(0 missing)",
         L"DLL Count.........................", L"0", L"(0 missing)",
         L"OCX Count........................", L"0", L"(0 missing)",
         L"Total Objects.....................", L"0", L"(0 missing)",
         L"Registered Now...............", L"1 of 2", L"&OK"},
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
         L"OK", L"&System Info..."},
    };
    for (size_t i = 0; i < std::size(dialogs); ++i) {
        ModalDialog& logic = *dialogs[i];
        gui_test::WhenShown(logic.Caption(), [&](HWND dialog) {
            EXPECT_EQ(ExpectMirrors(dialog, logic), texts[i]);
            gui_test::SaveScreenshot(dialog, test::ToUtf8(logic.Form()));
            if (&logic == &chooser) choose(dialog);
            EXPECT_TRUE(&logic != &about || gui_test::Text(GetFocus()) == L"OK") << "OK to hand";
            keys[i] ? PostMessageW(GetFocus(), WM_KEYDOWN, keys[i], 1)
                    : PostMessageW(dialog, WM_CLOSE, 0, 0);
        });
        r.dialogs.ShowModal(logic);  // a key that does not close it: the time limit fails it
    }
    EXPECT_EQ(chooser.Folder(), L"") << "Escape hands back nothing";

    // An error inside a dialog ends it and reaches the caller, never the system's code.
    struct Failing : ModalDialog {
        Failing() : ModalDialog(L"frmFailing", L"Prowl failing dialog") {
            Add({.name = L"cmdOK", .kind = ControlKind::Button, .text = L"OK", .isDefault = true});
        }
        void OnClick(const std::wstring&) override { throw ProwlError(L"disk gone"); }
    } failing;
    gui_test::WhenShown(failing.Caption(),
                        [](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1); });
    EXPECT_THROW(r.dialogs.ShowModal(failing), ProwlError);
}

}  // namespace
}  // namespace prowl
