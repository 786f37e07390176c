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

using namespace prowl;
using namespace prowl::bench;

namespace {

// Reports the way the main window does: keeps the text, processes pending messages.
class PumpingSink : public StatusSink {
public:
    void StatusBar_Update(int32_t, const std::wstring& text) override {
        last = text;
        PumpMessages();
    }
    void ProgressBar_Show(bool, int32_t) override { PumpMessages(); }
    void ProgressBar_Increment(int32_t) override { PumpMessages(); }
    std::wstring last;
};

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
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr);
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

struct Figures {
    double scan, walk, dir;
    int records;
};

Figures Measure(const std::wstring& root, const TreeShape& shape) {
    const TreeStats stats = GenerateTree(root, shape);
    win32::Win32FileSystem fs;
    PumpingSink sink;
    Figures f{};
    f.scan = MedianSeconds([&] {
        ProjectState state;
        state.ProcessMode = kProcessNewScan;
        PathScanner(state, fs, sink).ScanProjectPath(root);
        f.records = state.DigColl->Count();
    });
    int matches = 0;
    f.walk = MedianSeconds([&] { matches = BareWalk(root); });
    f.dir = MedianSeconds([&] { CmdDir(root); });
    if (matches != stats.dlls + stats.ocxs)
        std::fprintf(stderr, "warning: the walk found %d of %d\n", matches, stats.dlls + stats.ocxs);
    std::printf("%-8s %7d folders %8d files %7d records   scan %7.3f s   walk %7.3f s   dir %7.3f s\n",
                shape.folders == 2000 ? "base" : "large", stats.folders, stats.files, f.records,
                f.scan, f.walk, f.dir);
    return f;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_scan <work folder>\n");
        return 2;
    }
    const std::wstring work = argv[1];
    CreateDirectoryW(work.c_str(), nullptr);

    TreeShape base;
    base.folders = 2000;
    base.filesPerFolder = 10;
    TreeShape large = base;
    large.folders = 20000;

    std::printf("median of 5 runs after one warm-up; scan reports every folder and processes messages\n");
    const Figures small = Measure(work + L"\\scan-base", base);
    const Figures big = Measure(work + L"\\scan-large", large);
    std::printf("large: scan/walk %.2f (target <= 1.3), scan/dir %.2f; base: scan/walk %.2f\n",
                big.scan / big.walk, big.scan / big.dir, small.scan / small.walk);
    std::printf("growth: scan large/base %.2f (target <= 12), walk large/base %.2f\n",
                big.scan / small.scan, big.walk / small.walk);
    std::printf("scan/walk: %.3f\n", big.scan / big.walk);
    std::printf("scan/growth10x: %.3f\n", big.scan / small.scan);
    return 0;
}
