// A user's everyday journey through the real program, by real input from the X server: a new
// project chosen in the chooser, one file unticked, saved through the real Save dialog, the
// program closed and started again, the file opened through the real Open dialog.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "GuiTestSupport.h"
#include "support/TempTree.h"

namespace prowl {
namespace {

std::wstring Exe() {
    std::wstring exe = L"Z:" + std::wstring(PROWL_EXE, PROWL_EXE + sizeof(PROWL_EXE) - 1);
    std::replace(exe.begin(), exe.end(), L'/', L'\\');
    return exe;
}

std::wstring Text(HWND hwnd) {
    wchar_t text[512] = {};
    SendMessageW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

bool Until(const std::function<bool()>& done, DWORD milliseconds = 10000) {
    for (const ULONGLONG end = GetTickCount64() + milliseconds; !done(); Sleep(20))
        if (GetTickCount64() > end) return false;
    return true;
}

void Xdotool(const std::wstring& arguments) { test::RunUnix(L"/usr/bin/xdotool", arguments); }

// Clicks the middle of a rectangle given in the window's client coordinates.
void Click(HWND hwnd, RECT rc, int clicks = 1) {
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    Xdotool(L"mousemove " + std::to_wstring((rc.left + rc.right) / 2) + L" " +
            std::to_wstring((rc.top + rc.bottom) / 2) + L" click --repeat " +
            std::to_wstring(clicks) + L" --delay 80 1");
}

void ClickWindow(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    Click(hwnd, rc);
}

// The common controls' messages carry pointers the system does not copy between processes,
// so they point into memory of the program's own.
class Remote {
  public:
    explicit Remote(DWORD processId)
        : process_(OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId)),
          at_(static_cast<char*>(
              VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
    ~Remote() {
        VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    // Sends the message with a copy of `data` there; returns the copy as the control left it.
    template <typename T>
    T Send(HWND hwnd, UINT msg, WPARAM wp, T data) {
        WriteProcessMemory(process_, at_, &data, sizeof data, nullptr);
        SendMessageW(hwnd, msg, wp, reinterpret_cast<LPARAM>(at_));
        ReadProcessMemory(process_, at_, &data, sizeof data, nullptr);
        return data;
    }
    RECT ButtonRect(HWND toolbar, int index) {
        return Send(toolbar, TB_GETITEMRECT, index, RECT{});
    }
    RECT ItemRect(HWND tree, HTREEITEM item) {
        RECT rc{};
        std::memcpy(&rc, &item, sizeof item);
        return Send(tree, TVM_GETITEMRECT, TRUE, rc);
    }
    // "text=n": n is the check box's picture, 1 clear and 2 ticked.
    std::wstring Item(HWND tree, HTREEITEM item) {
        TVITEMW tv{};
        tv.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
        tv.hItem = item;
        tv.stateMask = TVIS_STATEIMAGEMASK;
        tv.pszText = reinterpret_cast<wchar_t*>(at_ + 1024);
        tv.cchTextMax = 256;
        tv = Send(tree, TVM_GETITEMW, 0, tv);
        wchar_t text[256] = {};
        ReadProcessMemory(process_, at_ + 1024, text, sizeof text - 2, nullptr);
        return text + (L"=" + std::to_wstring(tv.state >> 12));
    }
    // The items a user sees, in order, each with its check box.
    std::wstring Shown(HWND tree) {
        std::wstring shown;
        for (auto item = TreeView_GetRoot(tree); item; item = TreeView_GetNextVisible(tree, item))
            shown += Item(tree, item) + L"|";
        return shown;
    }

  private:
    HANDLE process_;
    char* at_;
};

struct Program {
    explicit Program(const std::wstring& folder = L"") : child(Exe(), folder), remote(child.Id()) {
        main = gui_test::WaitForWindow(child.Id(), L"ActiveX Prowl", 20000);
        tree = FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr);
        toolbar = FindWindowExW(main, nullptr, TOOLBARCLASSNAMEW, nullptr);
        HWND bars[2] = {FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr)};
        bars[1] = FindWindowExW(main, bars[0], STATUSCLASSNAMEW, nullptr);
        RECT a, b;
        GetWindowRect(bars[0], &a);
        GetWindowRect(bars[1], &b);
        source = a.top < b.top ? bars[0] : bars[1];
    }
    HWND Dialog(const wchar_t* caption) {
        return gui_test::WaitForWindow(child.Id(), caption, 10000);
    }
    // Types a full file name into the common dialog and presses Enter.
    void EnterFileName(const wchar_t* caption, const std::wstring& name) {
        HWND dialog = Dialog(caption);
        ASSERT_NE(dialog, nullptr) << "no dialog " << test::ToUtf8(caption);
        HWND edit = GetDlgItem(dialog, 0x480);  // edt1, or the combo box cmb13 around it
        ClickWindow(edit ? edit : GetDlgItem(dialog, 0x47c));
        Xdotool(L"key ctrl+a type --delay 5 " + name);
        Sleep(500);  // drawn
        gui_test::SaveScreenshot(dialog,
                                 std::string("journey-") + (caption[0] == L'S' ? "save" : "open"));
        Xdotool(L"key Return");
    }
    HTREEITEM Find(const std::wstring& text) {
        for (auto item = TreeView_GetRoot(tree); item; item = TreeView_GetNextVisible(tree, item))
            if (remote.Item(tree, item).starts_with(text + L"=")) return item;
        return nullptr;
    }

    gui_test::ChildProcess child;
    Remote remote;
    HWND main, tree, toolbar, source;
};

TEST(Journey, NewUntickSaveCloseAndOpenAgain) {
    test::TempTree temp;
    for (const auto* file :
         {L"journey\\proj\\a.dll", L"journey\\proj\\sub\\b.ocx", L"journey\\proj\\x.txt"})
        temp.File(file);
    const std::wstring project = temp.Path(L"journey\\proj"), saved = temp.Path(L"mine.PRW");
    {
        Program first(temp.Path(L"journey"));
        ASSERT_NE(first.main, nullptr);
        Click(first.toolbar, first.remote.ButtonRect(first.toolbar, 0));  // New
        HWND chooser = first.Dialog(L"ActiveX Prowl - Choose Start Path");
        ASSERT_NE(chooser, nullptr);
        HWND list = FindWindowExW(chooser, nullptr, WC_LISTBOXW, nullptr);
        const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t entry[256] = {};
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
            const auto height = static_cast<LONG>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
            const LONG top =
                static_cast<LONG>(i - SendMessageW(list, LB_GETTOPINDEX, 0, 0)) * height;
            if (std::wstring(entry).find(L"proj") != std::wstring::npos)
                Click(list, RECT{0, top, 60, top + height}, 2);
        }
        gui_test::SaveScreenshot(chooser, "journey-chooser");
        ClickWindow(FindWindowExW(chooser, nullptr, WC_BUTTONW, L"&OK"));
        ASSERT_TRUE(Until([&] {
            return Text(first.source) == L"Source File: ** New ActiveX Prowl File **";
        })) << test::ToUtf8(Text(first.source));
        gui_test::SaveScreenshot(first.main, "journey-scanned");

        HTREEITEM proj = first.Find(L"PROJ");
        Click(first.tree, first.remote.ItemRect(first.tree, proj));
        Xdotool(L"key Right");
        ASSERT_TRUE(Until([&] { return first.Find(L"a.dll") != nullptr; }));
        Click(first.tree, first.remote.ItemRect(first.tree, first.Find(L"a.dll")));
        Xdotool(L"key space");
        ASSERT_TRUE(Until(
            [&] { return first.remote.Item(first.tree, first.Find(L"a.dll")) == L"a.dll=1"; }));
        gui_test::SaveScreenshot(first.main, "journey-unticked");

        Click(first.toolbar, first.remote.ButtonRect(first.toolbar, 2));  // Save
        first.EnterFileName(L"Save ActiveX Objects", saved);
        ASSERT_TRUE(Until([&] { return Text(first.source) == L"Source File: " + saved; }));
        const std::string p = test::Narrow(project);
        EXPECT_EQ(temp.Read(L"mine.PRW"), p + "\r\n1\tK1\t1\t0\t" + p +
                                              "\tK0\tPROJ\t1\t1\r\n2\tK2\t2\t1\t" + p +
                                              "\\a.dll\tK1\ta.dll\t0\t0\r\n3\tK3\t1\t1\t" + p +
                                              "\\sub\tK1\tSUB\t1\t0\r\n4\tK4\t3\t3\t" + p +
                                              "\\sub\\b.ocx\tK3\tb.ocx\t1\t0");
        gui_test::SaveScreenshot(first.main, "journey-saved");
        RECT box;  // the close box at the right of the caption
        GetWindowRect(first.main, &box);
        box.left = box.right - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSIZE) / 2;
        box.top += GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
        Xdotool(L"mousemove " + std::to_wstring(box.left) + L" " + std::to_wstring(box.top) +
                L" click 1");
        EXPECT_EQ(first.child.WaitForExit(10000), std::optional<DWORD>(0)) << "closed at once";
    }
    Program second;
    ASSERT_NE(second.main, nullptr);
    Click(second.toolbar, second.remote.ButtonRect(second.toolbar, 1));  // Open
    second.EnterFileName(L"Open ActiveX Prowl Save File", saved);
    ASSERT_TRUE(Until([&] { return Text(second.source) == L"Source File: " + saved; }));
    EXPECT_EQ(second.remote.Shown(second.tree),
              L"Active X Controls (" + project + L")=2|PROJ=2|a.dll=1|SUB=2|");
    gui_test::SaveScreenshot(second.main, "journey-opened");

    // Nothing unsaved: the end of the session ends the program.
    DWORD_PTR agreed = 0;
    SendMessageTimeoutW(second.main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &agreed);
    EXPECT_EQ(agreed, TRUE);
    SendMessageTimeoutW(second.main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &agreed);
    EXPECT_EQ(second.child.WaitForExit(10000), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace prowl
