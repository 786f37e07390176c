// Save and open of a 100,000-record project whose paths exist, each beside the least the
// same work can cost: for save, one buffered write of the same bytes to a temporary file,
// flushed and renamed over the target; for open, one read of the same bytes and one
// existence test per record.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Measure.h"
#include "model/ProjectState.h"
#include "projectfile/ProjectFile.h"
#include "win32/FileSystem_win.h"
#include "win32/MainWindow_win.h"

namespace {

using namespace prowl;

constexpr int kRuns = 9;
constexpr int kTop = 10, kMid = 10, kLeaf = 10;
constexpr int kLeafFiles = 98, kInnerFiles = 8, kRootFiles = 9;  // 100,000 records in all

// Takes the file's bytes and drops them: what the save costs before the disk is involved.
class DiscardingFileSystem final : public win32::Win32FileSystem {
  public:
    std::unique_ptr<FileReplacement> BeginReplaceFile(const std::wstring&) override {
        struct Discard final : FileReplacement {
            void Write(std::string_view bytes) override { total += bytes.size(); }
            void Commit() override {}
            std::size_t total = 0;
        };
        return std::make_unique<Discard>();
    }
};

// Ours and the limit take turns, so load from other processes falls on both alike.
std::pair<double, double> MedianMs(const std::function<void()>& ours,
                                   const std::function<void()>& limit) {
    const auto seconds = bench::InterleavedMedians({ours, limit}, kRuns);
    return {seconds[0] * 1000.0, seconds[1] * 1000.0};
}

double MedianMs(const std::function<void()>& run) {
    return bench::InterleavedMedians({run}, kRuns)[0] * 1000.0;
}

void Fail(const char* what) {
    std::fprintf(stderr, "bench_projectfile: %s failed (error %lu)\n", what, GetLastError());
    ExitProcess(1);
}

void Touch(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) Fail("creating a file");
    CloseHandle(h);
}

// Builds the records as a scan would (depth-first, Index = position) and, unless an earlier
// run left a complete tree, the folders and files they name.
class TreeBuilder {
  public:
    TreeBuilder(ProjectState& state, bool makeOnDisk) : state_(state), disk_(makeOnDisk) {}

    void Build(const std::wstring& root) {
        state_.SaveFile->StartPath = root;
        const int32_t rootIndex = Folder(root, L"TREE", 0);
        Files(root, rootIndex, kRootFiles);
        for (int t = 0; t < kTop; ++t) {
            const std::wstring top = root + L"\\Vendor" + Two(t);
            const int32_t topIndex = Folder(top, L"VENDOR" + Two(t), rootIndex);
            Files(top, topIndex, kInnerFiles);
            for (int m = 0; m < kMid; ++m) {
                const std::wstring mid = top + L"\\Product" + Two(m);
                const int32_t midIndex = Folder(mid, L"PRODUCT" + Two(m), topIndex);
                Files(mid, midIndex, kInnerFiles);
                for (int l = 0; l < kLeaf; ++l) {
                    const std::wstring leaf = mid + L"\\Module" + Two(l);
                    Files(leaf, Folder(leaf, L"MODULE" + Two(l), midIndex), kLeafFiles);
                }
            }
        }
    }

  private:
    static std::wstring Two(int n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }

    int32_t Add(const std::wstring& path, const wchar_t* type, const std::wstring& text,
                int32_t parent) {
        const ObjectRef r = bench::AddRecord(state_, path, type, parent);
        r->Text = text;
        return r->Index;
    }
    int32_t Folder(const std::wstring& path, const std::wstring& text, int32_t parent) {
        if (disk_ && !CreateDirectoryW(path.c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            Fail("creating a folder");
        ++state_.SaveFile->Folder_Count;
        return Add(path, kNodeFolder, text, parent);
    }
    void Files(const std::wstring& folder, int32_t parent, int n) {
        for (int i = 0; i < n; ++i) {
            const bool dll = i % 2 == 0;
            const std::wstring name =
                L"component_" + std::to_wstring(1000 + i) + (dll ? L".dll" : L".ocx");
            if (disk_) Touch(folder + L"\\" + name);
            ++(dll ? state_.SaveFile->DLL_Count : state_.SaveFile->OCX_Count);
            Add(folder + L"\\" + name, dll ? kNodeDll : kNodeOcx, name, parent);
        }
    }

    ProjectState& state_;
    bool disk_;
};

std::string ReadWhole(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) Fail("opening the project file");
    LARGE_INTEGER size;
    GetFileSizeEx(h, &size);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        Fail("reading");
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

void LimitSave(const std::wstring& target, const std::string& bytes) {
    const std::wstring temp = target + L".limit.tmp";
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) Fail("creating the temporary file");
    DWORD written = 0;
    if (!WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        Fail("writing");
    if (!FlushFileBuffers(h)) Fail("flushing");
    CloseHandle(h);
    if (!MoveFileExW(temp.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail("replacing");
}

std::size_t LimitOpen(const std::wstring& target, const std::vector<std::wstring>& paths) {
    const std::string bytes = ReadWhole(target);
    std::size_t present = bytes.size() & 1;
    for (const std::wstring& p : paths)
        present += GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
    return present;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring work = bench::WorkFolder(argc, argv, "projectfile");
    if (work.empty()) return 2;
    const std::wstring root = work + L"\\tree";
    const std::wstring complete = work + L"\\tree-complete";
    const std::wstring target = work + L"\\project.prw";

    // Progress goes to the real main window, as in the program: its progress bar takes every
    // step and the window processes pending messages as it does during any long work.
    ProjectState windowState;
    const auto window = bench::MainWindowFor(windowState);

    ProjectState state;
    const bool reuse = GetFileAttributesW(complete.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!reuse) std::printf("Generating the tree (once per work folder)...\n");
    CreateDirectoryW(root.c_str(), nullptr);
    TreeBuilder(state, !reuse).Build(root);
    if (!reuse) Touch(complete);
    std::vector<std::wstring> paths;
    for (const auto& r : *state.DigColl) paths.push_back(r->Path);

    win32::Win32FileSystem fs;
    StatusSink& sink = window->Logic();
    SaveProjectFile(state, fs, sink, target);
    const std::string bytes = ReadWhole(target);

    const auto [saveOurs, saveLimit] = MedianMs([&] { SaveProjectFile(state, fs, sink, target); },
                                                [&] { LimitSave(target, bytes); });
    DiscardingFileSystem discard;
    const double saveText = MedianMs([&] { SaveProjectFile(state, discard, sink, target); });
    std::size_t missing = 0;
    const auto [openOurs, openLimit] = MedianMs(
        [&] {
            ProjectState opened;
            OpenProjectFile(opened, fs, sink, target);
            missing = static_cast<std::size_t>(opened.SaveFile->Folder_Missing +
                                               opened.SaveFile->DLL_Missing +
                                               opened.SaveFile->OCX_Missing);
        },
        [&] { LimitOpen(target, paths); });
    if (missing != 0) std::printf("warning: %zu records missing on disk\n", missing);

    std::printf("records: %d, file: %zu bytes, median of %d runs after one warm-up\n",
                state.DigColl->Count(), bytes.size(), kRuns);
    std::printf("%-6s %12s %12s %8s\n", "", "ours (ms)", "limit (ms)", "ratio");
    std::printf("%-6s %12.1f %12.1f %8.2f\n", "save", saveOurs, saveLimit, saveOurs / saveLimit);
    std::printf("%-6s %12.1f %12.1f %8.2f\n", "open", openOurs, openLimit, openOurs / openLimit);
    std::printf("(of our save, %.1f ms make the bytes before anything is written)\n", saveText);
    std::printf("projectfile/save: %.2f\n", saveOurs / saveLimit);
    std::printf("projectfile/open: %.2f\n", openOurs / openLimit);
    return 0;
}
