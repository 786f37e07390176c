// Filling the real tree view with a large project (2,000 closed folders of ten files each),
// against the least that can cost: the same nodes in the in-memory model alone, and the
// 2,001 shown nodes inserted straight into a bare control.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "Measure.h"
#include "tree/MemoryTreeView.h"
#include "win32/Images_win.h"
#include "win32/TreeView_win.h"

using namespace prowl;
using namespace prowl::bench;

namespace {

constexpr int kFolders = 2000, kFiles = 10;

void Fill(TreeView& tree) {
    tree.Clear();
    tree.Add(L"", L"K0", L"Root");
    tree.SetExpanded(1, true);
    int32_t key = 0;
    for (int folder = 0; folder < kFolders; ++folder) {
        const std::wstring folderKey = L"K" + std::to_wstring(++key);
        int32_t node = tree.Add(L"K0", folderKey, L"Folder");
        tree.SetImage(node, L"A");
        tree.SetChecked(node, true);
        for (int file = 0; file < kFiles; ++file) {
            node = tree.Add(folderKey, L"K" + std::to_wstring(++key), L"file.dll");
            tree.SetImage(node, L"B");
            tree.SetChecked(node, true);
        }
    }
}

}  // namespace

int wmain() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HWND host = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                300, nullptr, nullptr, nullptr, nullptr);
    HIMAGELIST images = win32::CreateTreeImageList();
    win32::Win32TreeView real(host, 1, images, win32::TreeImageKeys(), {true, true});
    HWND bare = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0, 0,
                                400, 300, host, nullptr, nullptr, nullptr);
    MemoryTreeView model;

    const auto medians = InterleavedMedians(
        {[&] {
             Fill(real);
             PumpMessages();  // the run ends: everything shown is in the control and drawn
         },
         [&] { Fill(model); },
         [&] {
             TreeView_DeleteAllItems(bare);
             TVINSERTSTRUCTW insert{};
             insert.hInsertAfter = TVI_LAST;
             insert.item.mask = TVIF_TEXT;
             insert.item.pszText = const_cast<wchar_t*>(L"Folder");
             insert.hParent = TreeView_InsertItem(bare, &insert);
             for (int folder = 0; folder < kFolders; ++folder) TreeView_InsertItem(bare, &insert);
             PumpMessages();
         }},
        3);
    std::printf("tree fill, %d nodes (%u in the control): %.0f ms\n", real.Count(),
                TreeView_GetCount(real.Handle()), medians[0] * 1000);
    std::printf("  model alone: %.0f ms (ratio %.2f)\n", medians[1] * 1000,
                medians[0] / medians[1]);
    std::printf("  bare control, shown nodes only: %.0f ms (ratio %.2f)\n", medians[2] * 1000,
                medians[0] / medians[2]);
    ImageList_Destroy(images);
    DestroyWindow(host);
    return 0;
}
