#pragma once
// Timing helpers shared by the benchmarks: one warm-up, then the median of several runs.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace prowl::bench {

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
