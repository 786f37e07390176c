// Message boxes as the user sees and answers them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "win32/Prompts_win.h"

namespace prowl {
namespace {

struct Seen {
    std::wstring text;
    std::vector<std::wstring> buttons;
    std::wstring focused;
};

// Reads the open message box titled "Prowl test" and presses the button given.
Seen g_seen;
int g_press = 0;

void CALLBACK Answer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"#32770", L"Prowl test");
    if (!box) return;  // not up yet
    KillTimer(nullptr, id);
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    g_seen.text = text;
    for (HWND b = FindWindowExW(box, nullptr, L"Button", nullptr); b;
         b = FindWindowExW(box, b, L"Button", nullptr)) {
        if (!IsWindowVisible(b)) continue;
        wchar_t caption[64] = {};
        GetWindowTextW(b, caption, 64);
        g_seen.buttons.push_back(caption);
        if (GetFocus() == b) g_seen.focused = caption;
    }
    PostMessageW(box, WM_COMMAND, g_press, 0);
}

MsgAnswer Ask(MsgButtons buttons, int defaultButton, int press) {
    gui_test::HostWindow owner(300, 200);
    win32::Win32Prompts prompts(owner.Handle());
    g_seen = {};
    g_press = press;
    SetTimer(nullptr, 0, 20, Answer);
    MessageBoxRequest request;
    request.text = L"Save changes to current project?";
    request.title = L"Prowl test";
    request.buttons = buttons;
    request.icon = MsgIcon::Question;
    request.defaultButton = defaultButton;
    return prompts.ShowMessage(request);
}

TEST(Prompts, EachAnswerComesBackAsTheButtonPressed) {
    EXPECT_EQ(Ask(MsgButtons::YesNoCancel, 1, IDYES), MsgAnswer::Yes);
    EXPECT_EQ(g_seen.text, L"Save changes to current project?");
    EXPECT_EQ(g_seen.buttons, (std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}));
    EXPECT_EQ(Ask(MsgButtons::YesNoCancel, 1, IDNO), MsgAnswer::No);
    EXPECT_EQ(Ask(MsgButtons::YesNoCancel, 1, IDCANCEL), MsgAnswer::Cancel);
    EXPECT_EQ(Ask(MsgButtons::OkCancel, 1, IDOK), MsgAnswer::Ok);
    EXPECT_EQ(Ask(MsgButtons::Ok, 1, IDOK), MsgAnswer::Ok);
    EXPECT_EQ(g_seen.buttons, std::vector<std::wstring>{L"OK"});
}

TEST(Prompts, TheDefaultButtonHasTheFocus) {
    Ask(MsgButtons::YesNo, 2, IDNO);
    EXPECT_EQ(g_seen.focused, L"&No");
    Ask(MsgButtons::YesNoCancel, 3, IDCANCEL);
    EXPECT_EQ(g_seen.focused, L"Cancel");
}

}  // namespace
}  // namespace prowl
