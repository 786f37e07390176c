#include "TreeGenerator.h"

#include <windows.h>

#include <cstdio>
#include <random>
#include <stdexcept>
#include <vector>

#include "model/SystemPath.h"

namespace prowl::bench {

namespace {
std::wstring ShapeTag(const TreeShape& s) {
    return std::to_wstring(s.folders) + L"-" + std::to_wstring(s.filesPerFolder) + L"-" +
           std::to_wstring(static_cast<int>(s.activeXShare * 1000)) + L"-" +
           std::to_wstring(s.depth) + L"-" + std::to_wstring(s.seed);
}

void MakeFolder(const std::wstring& path) {
    if (!CreateDirectoryW(ToSystemPath(path).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot make a benchmark folder");
}

void MakeFile(const std::wstring& path) {
    HANDLE h = CreateFileW(ToSystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make a benchmark file");
    CloseHandle(h);
}
}  // namespace

TreeStats GenerateTree(const std::wstring& root, const TreeShape& shape) {
    // Folder i > 0 hangs below a folder chosen among those above the deepest level, so the
    // tree is both bushy and `depth` deep.
    std::mt19937 random(shape.seed);
    std::vector<std::wstring> paths{root};
    std::vector<int> levels{0};
    std::vector<int> parents;  // folders that may still take children
    parents.push_back(0);
    for (int i = 1; i < shape.folders; ++i) {
        const int parent = parents[random() % parents.size()];
        paths.push_back(paths[parent] + L"\\Folder " + std::to_wstring(i));
        levels.push_back(levels[parent] + 1);
        if (levels.back() < shape.depth) parents.push_back(i);
    }

    TreeStats stats;
    stats.folders = shape.folders;
    std::vector<std::pair<std::wstring, int>> files;  // path, kind 0 other, 1 dll, 2 ocx
    std::uniform_real_distribution<double> share(0.0, 1.0);
    for (int f = 0; f < shape.folders; ++f) {
        for (int k = 0; k < shape.filesPerFolder; ++k) {
            int kind = 0;
            if (share(random) < shape.activeXShare) kind = (random() % 2) ? 1 : 2;
            static const wchar_t* ext[] = {L".txt", L".dll", L".ocx"};
            files.emplace_back(paths[f] + L"\\file" + std::to_wstring(k) + ext[kind], kind);
            ++stats.files;
            stats.dlls += kind == 1;
            stats.ocxs += kind == 2;
        }
    }

    const std::wstring marker = root + L"\\.shape-" + ShapeTag(shape);
    if (GetFileAttributesW(ToSystemPath(marker).c_str()) != INVALID_FILE_ATTRIBUTES) return stats;

    std::printf("making a tree of %d folders and %d files...\n", stats.folders, stats.files);
    std::fflush(stdout);
    for (const auto& p : paths) MakeFolder(p);
    for (const auto& [p, kind] : files) MakeFile(p);
    MakeFile(marker);  // a dot-file: hidden under Wine, so no scan sees it
    return stats;
}

}  // namespace prowl::bench
