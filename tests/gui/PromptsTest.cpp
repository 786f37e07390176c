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

MsgAnswer Ask(HWND owner, MsgButtons buttons, int defaultButton, int press) {
    win32::Win32Prompts prompts(owner);
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

TEST(Prompts, EachAnswerComesBackAsTheButtonPressedWithTheDefaultFocused) {
    gui_test::HostWindow owner(300, 200);
    const struct {
        MsgButtons buttons;
        int defaultButton, press;
        MsgAnswer answer;
        std::vector<std::wstring> shown;
        std::wstring focused;
    } cases[] = {
        {MsgButtons::YesNoCancel, 1, IDYES, MsgAnswer::Yes, {L"&Yes", L"&No", L"Cancel"}, L"&Yes"},
        {MsgButtons::YesNoCancel,
         3,
         IDCANCEL,
         MsgAnswer::Cancel,
         {L"&Yes", L"&No", L"Cancel"},
         L"Cancel"},
        {MsgButtons::YesNo, 2, IDNO, MsgAnswer::No, {L"&Yes", L"&No"}, L"&No"},
        {MsgButtons::OkCancel, 1, IDOK, MsgAnswer::Ok, {L"OK", L"Cancel"}, L"OK"},
        {MsgButtons::Ok, 1, IDOK, MsgAnswer::Ok, {L"OK"}, L"OK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press);
        EXPECT_EQ(Ask(owner.Handle(), c.buttons, c.defaultButton, c.press), c.answer);
        EXPECT_EQ(g_seen.text, L"Save changes to current project?");
        EXPECT_EQ(g_seen.buttons, c.shown);
        EXPECT_EQ(g_seen.focused, c.focused);
    }
}

TEST(Prompts, ABoxThatCannotBeShownSaysSo) {
    HWND gone = gui_test::HostWindow(300, 200).Handle();  // its owner is destroyed
    for (MsgButtons buttons : {MsgButtons::Ok, MsgButtons::YesNo, MsgButtons::YesNoCancel})
        EXPECT_EQ(Ask(gone, buttons, 1, IDYES), MsgAnswer::NotShown);
}

}  // namespace
}  // namespace prowl
