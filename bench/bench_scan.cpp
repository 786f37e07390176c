// Scan speed against the platform's limit (a bare recursive listing that only counts
// matches) and against a peer (cmd's dir /s /b under the same Wine).

#include <windows.h>

#include <cstdio>
#include <string>

#include "Measure.h"
#include "TreeGenerator.h"
#include "model/ProjectState.h"
#include "model/SystemPath.h"
#include "scan/PathScanner.h"
#include "win32/FileSystem_win.h"
#include "win32/MainWindow_win.h"

using namespace prowl;
using namespace prowl::bench;

namespace {

bool IsActiveX(const wchar_t* name) {
    const wchar_t* dot = wcsrchr(name, L'.');
    const wchar_t* ext = dot ? dot + 1 : name;
    return _wcsicmp(ext, L"dll") == 0 || _wcsicmp(ext, L"ocx") == 0;
}

int BareWalk(const std::wstring& folder) {
    int found = 0;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileExW(ToSystemPath(folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0)
                found += BareWalk(folder + L"\\" + data.cFileName);
        } else if (IsActiveX(data.cFileName)) {
            ++found;
        }
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return found;
}

void CmdDir(const std::wstring& root) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = nul;
    si.hStdInput = nullptr;
    std::wstring command = L"cmd.exe /c dir /s /b /a-h-s \"" + root + L"\\*.dll\"";
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(nul);
}

struct Tree {
    std::wstring root;
    TreeStats stats;
    int records = 0;
    int matches = 0;
};

std::function<void()> OurScan(Tree& tree, StatusSink& sink) {
    return [&tree, &sink] {
        win32::Win32FileSystem fs;
        ProjectState state;
        state.ProcessMode = kProcessNewScan;
        PathScanner(state, fs, sink).ScanProjectPath(tree.root);
        tree.records = state.DigColl->Count();
    };
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring work = bench::WorkFolder(argc, argv, "scan");
    if (work.empty()) return 2;

    TreeShape baseShape;
    baseShape.folders = 2000;
    baseShape.filesPerFolder = 10;
    TreeShape largeShape = baseShape;
    largeShape.folders = 20000;
    Tree base{work + L"\\scan-base", GenerateTree(work + L"\\scan-base", baseShape)};
    Tree large{work + L"\\scan-large", GenerateTree(work + L"\\scan-large", largeShape)};

    // The scan reports through the real main window, as in the program: its status panel
    // takes every text and the window processes pending messages at each one.
    ProjectState windowState;
    const auto window = bench::MainWindowFor(windowState);
    StatusSink& sink = window->Logic();
    const auto t = InterleavedMedians({
        OurScan(base, sink),
        [&] { base.matches = BareWalk(base.root); },
        [&] { CmdDir(base.root); },
        OurScan(large, sink),
        [&] { large.matches = BareWalk(large.root); },
        [&] { CmdDir(large.root); },
    });

    std::printf(
        "median of 5 interleaved runs after one warm-up each; our scan reports every folder\n"
        "to the real main window, which processes pending messages, as in the program\n\n");
    std::printf("tree    folders    files  records     scan      walk   dir /s /b\n");
    for (int i = 0; i < 2; ++i) {
        const Tree& tree = i == 0 ? base : large;
        std::printf("%-6s %8d %8d %8d %8.3f s %8.3f s %8.3f s\n", i == 0 ? "base" : "large",
                    tree.stats.folders, tree.stats.files, tree.records, t[3 * i], t[3 * i + 1],
                    t[3 * i + 2]);
        if (tree.matches != tree.stats.dlls + tree.stats.ocxs)
            std::printf("warning: the walk found %d of %d files\n", tree.matches,
                        tree.stats.dlls + tree.stats.ocxs);
    }
    std::printf("\nlarge tree: scan/walk %.2f (target at most 1.3), scan/dir %.2f\n", t[3] / t[4],
                t[3] / t[5]);
    std::printf("growth from base to large: scan %.2f (target at most 12), walk %.2f\n\n",
                t[3] / t[0], t[4] / t[1]);
    std::printf("scan/walk: %.3f\n", t[3] / t[4]);
    std::printf("scan/growth10x: %.3f\n", t[3] / t[0]);
    return 0;
}
