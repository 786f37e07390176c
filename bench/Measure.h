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

// Processes pending window messages the way the main window does during long work.
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace prowl::bench
