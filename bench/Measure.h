#pragma once
// What every benchmark needs: its work folder, a real main window to take progress, and
// timing (one warm-up, then the median of several runs).

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/ProjectState.h"
#include "model/Records.h"
#include "win32/MainWindow_win.h"

namespace prowl::bench {

// The work folder bench/run passes, made if it is not there yet; empty, after the usage line,
// when none was given.
inline std::wstring WorkFolder(int argc, wchar_t** argv, const char* benchName) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_%s <work folder>\n", benchName);
        return {};
    }
    CreateDirectoryW(argv[1], nullptr);
    return argv[1];
}

// The common controls the main window is made of.
inline void InitControls() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
}

// The program's main window, shown without taking the focus: progress and reports go through
// it and it processes its messages, as in the program.
inline std::unique_ptr<win32::MainWindow> MainWindowFor(ProjectState& state) {
    InitControls();
    return win32::MainWindow::Create(GetModuleHandleW(nullptr), state, SW_SHOWNOACTIVATE);
}

// A record at the end of the project as a scan makes it: included, collapsed, its file there,
// its label the path's last name.
inline ObjectRef AddRecord(ProjectState& state, const std::wstring& path, const wchar_t* type,
                           int32_t parent) {
    auto r = std::make_shared<clsObject>();
    r->Index = state.DigColl->Count() + 1;
    r->Key = MakeKey(r->Index);
    r->NodeType = type;
    r->ParentIndex = parent;
    r->Path = path;
    r->Reference = MakeKey(parent);
    r->Text = path.substr(path.rfind(L'\\') + 1);
    r->Included = kFlagOn;
    r->Expanded = kFlagOff;
    r->Exists = true;
    state.DigColl->Add(r);
    return r;
}

inline double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double MedianSeconds(const std::function<void()>& run, int runs = 5) {
    run();  // warm-up: file-system caches, first-touch allocations
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Seconds();
        run();
        times.push_back(Seconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Runs the candidates in turns (one warm-up each, then `runs` rounds) and gives each one's
// median. Taking turns keeps the ratios fair when the machine's load changes during a run.
inline std::vector<double> InterleavedMedians(const std::vector<std::function<void()>>& candidates,
                                              int runs = 5) {
    for (const auto& run : candidates) run();
    std::vector<std::vector<double>> times(candidates.size());
    for (int round = 0; round < runs; ++round) {
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const double start = Seconds();
            candidates[i]();
            times[i].push_back(Seconds() - start);
        }
    }
    std::vector<double> medians;
    for (auto& t : times) {
        std::sort(t.begin(), t.end());
        medians.push_back(t[t.size() / 2]);
    }
    return medians;
}

// Processes pending window messages the way the main window does during long work.
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace prowl::bench
