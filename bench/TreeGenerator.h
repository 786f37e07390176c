#pragma once
// Synthetic folder trees for the benchmarks, made on the real disk and kept between runs.

#include <cstdint>
#include <string>

namespace prowl::bench {

struct TreeShape {
    int folders = 2000;  // including the root
    int filesPerFolder = 10;
    double activeXShare = 0.05;  // share of files named *.dll or *.ocx (half each)
    int depth = 6;               // deepest level below the root
    uint32_t seed = 1;
};

struct TreeStats {
    int folders = 0;
    int files = 0;
    int dlls = 0;
    int ocxs = 0;
};

// Makes the tree under `root` unless a previous run left one of the same shape there.
TreeStats GenerateTree(const std::wstring& root, const TreeShape& shape);

}  // namespace prowl::bench
