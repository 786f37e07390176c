// New as a user waits for it: from OK in the chooser until the tree is drawn and Re-Prowl is
// enabled, in the real main window, against a bare walk of the same folders.

#include <windows.h>

#include <cstdio>
#include <string>

#include "Measure.h"
#include "TreeGenerator.h"
#include "model/SystemPath.h"
#include "win32/MainWindow_win.h"

using namespace prowl;
using namespace prowl::bench;

namespace {

// Every entry, nothing else: the least any scan of the folder costs.
int BareWalk(const std::wstring& folder) {
    int entries = 0;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileExW(ToSystemPath(folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
        ++entries;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            entries += BareWalk(folder + L"\\" + data.cFileName);
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return entries;
}

// 3,000 subfolders, each with one DLL and one other file; made once and kept.
void MakeWideFolder(const std::wstring& root) {
    const std::wstring done = root + L"\\d2999\\note.txt";
    if (GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    CreateDirectoryW(root.c_str(), nullptr);
    for (int i = 0; i < 3000; ++i) {
        const std::wstring folder = root + L"\\d" + std::to_wstring(i);
        CreateDirectoryW(folder.c_str(), nullptr);
        for (const wchar_t* name : {L"\\part.dll", L"\\note.txt"})
            CloseHandle(CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring work = bench::WorkFolder(argc, argv, "new");
    if (work.empty()) return 2;
    const std::wstring wide = work + L"\\new-wide", balanced = work + L"\\new-tree";
    MakeWideFolder(wide);
    TreeShape shape;  // about 20,000 entries: 2,000 folders of 9 files
    shape.folders = 2000;
    shape.filesPerFolder = 9;
    const TreeStats stats = GenerateTree(balanced, shape);

    ProjectState state;
    const auto window = bench::MainWindowFor(state);
    MainWindowLogic& logic = window->Logic();
    int records[2] = {}, entries[2] = {};
    const auto newProject = [&](const std::wstring& folder, int& count) {
        return [&, folder] {
            logic.EnableSave(false);  // nothing to ask about first
            logic.RunCommand([&] { window->Program().Project().NewProjectAt(folder); });
            UpdateWindow(window->Handle());
            PumpMessages();
            if (!logic.Button(kButtonReprowl).enabled) std::fprintf(stderr, "New did not end\n");
            count = state.DigColl->Count();
        };
    };
    const auto t = InterleavedMedians({
                                          newProject(wide, records[0]),
                                          [&] { entries[0] = BareWalk(wide); },
                                          newProject(balanced, records[1]),
                                          [&] { entries[1] = BareWalk(balanced); },
                                      },
                                      9);

    std::printf(
        "median of 9 interleaved runs after one warm-up each; New runs in the real main\n"
        "window from the chosen folder until the tree is drawn and Re-Prowl enabled\n\n");
    std::printf("folder   entries  records       New      walk\n");
    for (int i = 0; i < 2; ++i)
        std::printf("%-7s %8d %8d %8.3f s %8.3f s\n", i == 0 ? "wide" : "tree", entries[i],
                    records[i], t[2 * i], t[2 * i + 1]);
    std::printf("(the tree: %d folders, %d files)\n\n", stats.folders, stats.files);
    std::printf("new/wide-vs-walk: %.2f\n", t[0] / t[1]);
    std::printf("new/tree-vs-walk: %.2f\n", t[2] / t[3]);
    return 0;
}
