// The five dialogs in real dialog boxes: their controls read back from the windows, real input
// on the start path chooser, the keys every dialog answers, and a picture of each.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
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
#include "win32/Locale_win.h"
#include "win32/Prompts_win.h"
#include "win32/Registry_win.h"

namespace prowl {
namespace {

using win32::kFirstDialogControlId;

void PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (!done() && GetTickCount64() < end) {
        gui_test::Pump();
        Sleep(10);
    }
}

// Runs `act` from inside the dialog's own message loop once the dialog with that caption is
// up; a dialog still up long after is cancelled, so that a lost click fails the test instead
// of hanging it.
struct WhenShown {
    static inline std::wstring caption;
    static inline std::function<void(HWND)> act;
    static inline ULONGLONG deadline = 0;

    WhenShown(const std::wstring& dialogCaption, std::function<void(HWND)> action) {
        caption = dialogCaption;
        act = std::move(action);
        deadline = GetTickCount64() + 30000;
        SetTimer(nullptr, 0, 30, Tick);
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = FindWindowW(L"#32770", caption.c_str());
        if (dialog && IsWindowVisible(dialog) && act) {
            auto action = std::move(act);
            act = nullptr;
            RedrawWindow(dialog, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            gui_test::Pump();
            action(dialog);
        } else if (!dialog && !act) {
            KillTimer(nullptr, id);
        } else if (GetTickCount64() > deadline) {
            ADD_FAILURE() << "the dialog did not close";
            act = nullptr;
            if (dialog) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
};

// Runs `step` once from the next turn of the message loop, after what is queued now.
void Then(std::function<void()> step) {
    static std::function<void()> next;
    next = std::move(step);
    SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (auto step = std::move(next)) step();
    });
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<DialogItem> TreeItems(HWND tree) {
    std::vector<DialogItem> items;
    for (auto item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item)) {
        wchar_t text[512] = {};
        TVITEMW tv{};
        tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = 512;
        TreeView_GetItem(tree, &tv);
        EXPECT_EQ(TreeView_GetChild(tree, item), nullptr) << "the lists are flat";
        const auto& keys = win32::TreeImageKeys();
        items.push_back({.text = text,
                         .image = tv.iImage >= 0 && tv.iImage < static_cast<int>(keys.size())
                                      ? keys[static_cast<size_t>(tv.iImage)]
                                      : L""});
    }
    return items;
}

std::vector<std::wstring> ListTexts(HWND list, UINT count, UINT get, UINT length) {
    std::vector<std::wstring> texts;
    const auto n = SendMessageW(list, count, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(list, length, i, 0)) + 1, L'\0');
        text.resize(
            static_cast<size_t>(SendMessageW(list, get, i, reinterpret_cast<LPARAM>(text.data()))));
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::wstring> Texts(const std::vector<DialogItem>& items) {
    std::vector<std::wstring> texts;
    for (const auto& item : items) texts.push_back(item.text);
    return texts;
}

// Every control of the logic has its window in the dialog, showing what the logic holds,
// inside the dialog and clear of every other control.
void ExpectMirrors(HWND dialog, const ModalDialog& logic) {
    EXPECT_EQ(WindowText(dialog), logic.Caption());
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<RECT> taken;
    const auto& controls = logic.Controls();
    for (size_t i = 0; i < controls.size(); ++i) {
        const DialogControl& control = controls[i];
        SCOPED_TRACE(test::ToUtf8(control.name));
        HWND hwnd = GetDlgItem(dialog, kFirstDialogControlId + static_cast<int>(i));
        ASSERT_NE(hwnd, nullptr);
        EXPECT_TRUE(IsWindowVisible(hwnd));
        EXPECT_EQ(IsWindowEnabled(hwnd) != FALSE, control.enabled);
        RECT rc;
        GetWindowRect(hwnd, &rc);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_TRUE(rc.left >= 0 && rc.top >= 0 && rc.right <= client.right &&
                    rc.bottom <= client.bottom && rc.right > rc.left && rc.bottom > rc.top)
            << "inside the dialog";
        for (const RECT& other : taken) {
            RECT overlap;
            EXPECT_FALSE(IntersectRect(&overlap, &rc, &other)) << "clear of the others";
        }
        taken.push_back(rc);
        switch (control.kind) {
            case ControlKind::DriveList:
                EXPECT_EQ(ListTexts(hwnd, CB_GETCOUNT, CB_GETLBTEXT, CB_GETLBTEXTLEN),
                          Texts(control.items));
                EXPECT_EQ(SendMessageW(hwnd, CB_GETCURSEL, 0, 0), control.selected);
                break;
            case ControlKind::DirectoryList:
                EXPECT_EQ(ListTexts(hwnd, LB_GETCOUNT, LB_GETTEXT, LB_GETTEXTLEN),
                          Texts(control.items));
                EXPECT_EQ(SendMessageW(hwnd, LB_GETCURSEL, 0, 0), control.selected);
                break;
            case ControlKind::TreeList: {
                const auto items = TreeItems(hwnd);
                EXPECT_EQ(Texts(items), Texts(control.items));
                for (size_t k = 0; k < items.size() && k < control.items.size(); ++k)
                    EXPECT_EQ(items[k].image, control.items[k].image);
                break;
            }
            case ControlKind::Separator:
            case ControlKind::Icon:
                break;
            default: {
                EXPECT_EQ(WindowText(hwnd), control.text);
                LOGFONTW font{};
                GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)),
                           sizeof(font), &font);
                EXPECT_EQ(font.lfWeight >= FW_BOLD, control.kind == ControlKind::CaptionLabel);
            }
        }
    }
}

HWND ControlOf(HWND dialog, const ModalDialog& logic, const std::wstring& name) {
    const auto& controls = logic.Controls();
    for (size_t i = 0; i < controls.size(); ++i)
        if (controls[i].name == name)
            return GetDlgItem(dialog, kFirstDialogControlId + static_cast<int>(i));
    throw std::out_of_range("no such control");
}

void Screenshot(HWND dialog, const char* name) {
    CreateDirectoryW(gui_test::WindowsPath(PROWL_TEST_OUTPUT).c_str(), nullptr);
    EXPECT_TRUE(gui_test::SaveWindowPng(
        dialog, gui_test::WindowsPath(std::string(PROWL_TEST_OUTPUT "/") + name + ".png")));
}

// A key as the keyboard gives it to the focused control; the dialog's own loop takes it.
void PostKey(WORD key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
}

// Real pointer input through the X server, at the middle of a rectangle of the window.
void ClickAt(HWND hwnd, RECT rc, int clicks) {
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    test::RunUnix(L"/usr/bin/xdotool", L"mousemove " + std::to_wstring((rc.left + rc.right) / 2) +
                                           L" " + std::to_wstring((rc.top + rc.bottom) / 2) +
                                           L" click --repeat " + std::to_wstring(clicks) +
                                           L" --delay 80 1");
}

class RealDialogs : public ::testing::Test {
  protected:
    gui_test::HostWindow owner{600, 400};
    win32::Win32DialogHost host{owner.Handle()};
    win32::Win32FileSystem files;
    win32::Win32Prompts prompts{owner.Handle()};
};

class CurrentFolder {
  public:
    explicit CurrentFolder(const std::wstring& folder) {
        wchar_t old[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, old);
        old_ = old;
        SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(old_.c_str()); }

  private:
    std::wstring old_;
};

TEST_F(RealDialogs, ChooserOpensASubfolderByDoubleClickAndHandsItBackWithOk) {
    test::TempTree tree;
    tree.Folder(L"alpha");
    tree.Folder(L"beta");
    CurrentFolder cd(tree.Root());
    win32::Win32MachineDrives drives;
    FolderChooser chooser(drives, files, prompts);

    WhenShown shown(kChooserCaption, [&](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(owner.Handle())) << "the owner waits";
        ExpectMirrors(dialog, chooser);
        EXPECT_FALSE(IsWindowEnabled(ControlOf(dialog, chooser, L"cmdOK")));
        Screenshot(dialog, "dialog-chooser");

        HWND list = ControlOf(dialog, chooser, L"aDir");
        const auto entries = ListTexts(list, LB_GETCOUNT, LB_GETTEXT, LB_GETTEXTLEN);
        const auto beta = std::find(entries.begin(), entries.end(), L"beta") - entries.begin();
        RECT item;
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(beta),
                     reinterpret_cast<LPARAM>(&item));
        ClickAt(list, item, 2);
        PumpUntil([&] { return chooser.CurrentPath() == tree.Path(L"beta"); });
        ExpectMirrors(dialog, chooser);

        HWND ok = ControlOf(dialog, chooser, L"cmdOK");
        EXPECT_TRUE(IsWindowEnabled(ok));
        RECT button;
        GetClientRect(ok, &button);
        ClickAt(ok, button, 1);
    });
    host.ShowModal(chooser);
    EXPECT_EQ(chooser.Folder(), tree.Path(L"beta"));
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

TEST_F(RealDialogs, ChooserReportsADriveWhoseFolderWentOpensWithEnterAndEscapeHandsBackNothing) {
    test::TempTree tree;
    tree.Folder(L"start\\sub");
    tree.Folder(L"drive");
    const wchar_t letter = test::UnusedDriveLetter();
    tree.MapDrive(letter, L"drive");
    CurrentFolder cd(tree.Path(L"start"));
    // Wine lists the drive letters a process had when it started: the new one joins by hand.
    struct WithNewDrive : win32::Win32MachineDrives {
        std::wstring root;
        std::vector<std::wstring> DriveRoots() override {
            auto roots = Win32MachineDrives::DriveRoots();
            if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
            return roots;
        }
    } drives;
    drives.root = std::wstring(1, letter) + L":\\";
    FolderChooser chooser(drives, files, prompts);
    const std::string target = tree.UnixPath(L"drive");
    test::RunUnix(L"/bin/rm", L"-rf \"" + std::wstring(target.begin(), target.end()) + L"\"");
    const auto& drivesShown = chooser.Control(L"aDrive").items;
    const auto gone =
        std::find_if(drivesShown.begin(), drivesShown.end(),
                     [&](const auto& d) { return d.text == std::wstring(1, letter) + L":"; }) -
        drivesShown.begin();
    ASSERT_LT(static_cast<size_t>(gone), drivesShown.size());
    const int32_t had = chooser.Control(L"aDrive").selected;

    static std::wstring told;
    static HWND toldBy;
    WhenShown shown(kChooserCaption, [&](HWND dialog) {
        HWND combo = ControlOf(dialog, chooser, L"aDrive");
        // The message box that the choice brings up is answered from its own loop.
        SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
            HWND box = FindWindowW(L"#32770", kChooserCaption);
            if (!box || !IsWindowVisible(box) || !GetDlgItem(box, 0xFFFF)) return;
            KillTimer(nullptr, id);
            wchar_t text[512] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            told = text;
            toldBy = GetWindow(box, GW_OWNER);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(gone), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
        EXPECT_EQ(toldBy, dialog) << "the message belongs to the chooser";
        ExpectMirrors(dialog, chooser);
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), had);
        // Enter in the folder list opens the folder highlighted there.
        HWND list = ControlOf(dialog, chooser, L"aDir");
        SetFocus(list);
        SendMessageW(list, LB_SETCURSEL, SendMessageW(list, LB_GETCOUNT, 0, 0) - 1, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        PostKey(VK_RETURN);
        Then([&] {
            EXPECT_EQ(chooser.CurrentPath(), tree.Path(L"start\\sub"));
            PostKey(VK_ESCAPE);
        });
    });
    host.ShowModal(chooser);
    EXPECT_EQ(told.substr(0, 22), std::wstring(1, letter) + L":\\ is not accessible.");
    EXPECT_EQ(chooser.Folder(), L"") << "Escape after a change still hands back nothing";
}

TEST_F(RealDialogs, ChangeReportListsItsRecordsInFlatTreesWithTheProjectImages) {
    ItemCollection before, after;
    const wchar_t* removed[][3] = {{L"K2", L"1", L"C:\\Tools\\Old"},
                                   {L"K3", L"2", L"C:\\Tools\\Old\\helper.dll"},
                                   {L"K3", L"3", L"C:\\Tools\\Old\\grid32.ocx"}};
    for (const auto& r : removed) {
        auto record = std::make_shared<clsObject>();
        record->Key = r[0];
        record->NodeType = r[1];
        record->Path = r[2];
        before.Add(record);
    }
    auto added = std::make_shared<clsObject>();
    added->Key = L"K9";
    added->NodeType = L"3";
    added->Path = L"C:\\Tools\\New Controls\\chart.ocx";
    after.Add(added);
    ChangeReport report;
    report.Init(before, after);

    WhenShown shown(L"Objects Added / Removed During Re-Prowl Process", [&](HWND dialog) {
        ExpectMirrors(dialog, report);
        Screenshot(dialog, "dialog-change-report");
        PostKey(VK_RETURN);
    });
    host.ShowModal(report);
    EXPECT_TRUE(report.Closed());
}

TEST_F(RealDialogs, FileDetailsShowsARealFileAndEscapeClosesIt) {
    test::TempTree tree;
    tree.File(L"Common Files\\grid32.ocx", std::string(1234567, 'x'));
    win32::Win32LocaleFormat locale;
    FileDetailsDialog details(files, locale, prompts);
    ASSERT_FALSE(details.Init(tree.Path(L"Common Files\\grid32.ocx")));

    WhenShown shown(L"File Details", [&](HWND dialog) {
        ExpectMirrors(dialog, details);
        EXPECT_EQ(WindowText(ControlOf(dialog, details, L"lblSize")), L"1,234,567 Bytes");
        Screenshot(dialog, "dialog-file-details");
        PostKey(VK_ESCAPE);
    });
    host.ShowModal(details);
    EXPECT_TRUE(details.Closed());
}

TEST_F(RealDialogs, ProjectDetailsShowsTheCountsAndTheCloseBoxClosesIt) {
    clsSaveFile file;
    file.Folder_Count = 3;
    file.DLL_Count = 5;
    file.OCX_Count = 2;
    file.DLL_Missing = 2;
    ProjectDetailsDialog details;
    details.Init(file);

    WhenShown shown(L"Project Details", [&](HWND dialog) {
        ExpectMirrors(dialog, details);
        Screenshot(dialog, "dialog-project-details");
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    host.ShowModal(details);
    EXPECT_TRUE(details.Closed());
}

TEST_F(RealDialogs, AboutBoxShowsItsIconAndRedWarningAndEnterPressesOk) {
    struct NoLauncher : Launcher {
        StartResult StartHidden(const std::wstring&, const std::wstring&,
                                const std::wstring&) override {
            return {};
        }
        bool StartShown(const std::wstring&, std::wstring*) override { return false; }
    } launcher;
    win32::Win32RegistryReader registry;
    AboutBox about(registry, launcher, files, prompts, win32::SystemFolder());

    WhenShown shown(L"About ActiveXProwl", [&](HWND dialog) {
        ExpectMirrors(dialog, about);
        EXPECT_NE(SendMessageW(ControlOf(dialog, about, L"Image1"), STM_GETICON, 0, 0), 0);
        EXPECT_EQ(GetFocus(), ControlOf(dialog, about, L"cmdOK"));
        // The warning asks the dialog for its colour as it draws; the description does not
        // get red.
        HDC dc = CreateCompatibleDC(nullptr);
        const std::pair<const wchar_t*, bool> labels[] = {{L"lblDisclaimer", true},
                                                          {L"lblDescription", false}};
        for (const auto& [name, red] : labels) {
            SetTextColor(dc, RGB(0, 0, 0));
            SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(ControlOf(dialog, about, name)));
            const COLORREF color = GetTextColor(dc);
            EXPECT_EQ(GetRValue(color) > 150 && GetGValue(color) < 80 && GetBValue(color) < 80, red)
                << test::ToUtf8(name);
        }
        DeleteDC(dc);
        Screenshot(dialog, "dialog-about");
        PostKey(VK_RETURN);
    });
    host.ShowModal(about);
    EXPECT_TRUE(about.Closed());
}

TEST_F(RealDialogs, AnErrorInsideTheDialogEndsItAndReachesTheCaller) {
    struct Failing : ModalDialog {
        Failing() : ModalDialog(L"frmFailing", L"Prowl failing dialog") {
            Add({.name = L"cmdOK", .kind = ControlKind::Button, .text = L"OK", .isDefault = true});
        }
        void OnClick(const std::wstring&) override { throw ProwlError(L"disk gone"); }
    } failing;
    WhenShown shown(L"Prowl failing dialog", [](HWND) { PostKey(VK_RETURN); });
    EXPECT_THROW(host.ShowModal(failing), ProwlError);
    EXPECT_EQ(FindWindowW(L"#32770", L"Prowl failing dialog"), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

}  // namespace
}  // namespace prowl
