#include "win32/TreeKeys_win.h"

#include <commctrl.h>

#include <cstring>

#include "win32/SystemError.h"

namespace prowl::win32 {

void Win32TreeGestures::BeginLabelEdit(int32_t node) {
    tree_.EnsureVisible(node);
    HTREEITEM item = tree_.ShownItem(node);
    if (!item) return;
    SetFocus(tree_.Handle());
    TreeView_SelectItem(tree_.Handle(), item);
    TreeView_EditLabel(tree_.Handle(), item);
}

void Win32TreeGestures::NodeAnchor(int32_t node, int32_t& x, int32_t& y) const {
    HTREEITEM item = tree_.ItemHandle(node);
    RECT rect{};
    if (!item || !TreeView_GetItemRect(tree_.Handle(), item, &rect, TRUE)) return;
    x = rect.left;
    y = rect.bottom;
}

void Win32Clipboard::SetText(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) ThrowSystemError(GetLastError());
    void* target = GlobalLock(memory);
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory);
    // Another program may hold the clipboard for a moment; a few tries are enough.
    bool open = false;
    for (int attempt = 0; attempt < 5 && !(open = OpenClipboard(owner_)); ++attempt) Sleep(20);
    if (!open) {
        const DWORD error = GetLastError();
        GlobalFree(memory);
        ThrowSystemError(error);
    }
    EmptyClipboard();
    // Once handed over, the memory is the clipboard's.
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    const DWORD error = GetLastError();
    CloseClipboard();
    if (!set) {
        GlobalFree(memory);
        ThrowSystemError(error);
    }
}

}  // namespace prowl::win32
