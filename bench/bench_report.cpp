// The CSV report of a 100,000-record project whose files are absent, beside the project file
// save of the same project (both through the real main window, which takes every progress
// step); then the report of 1,000 files that exist, whose headers are read.
#include <windows.h>

#include <cstdio>
#include <string>

#include "Measure.h"
#include "inspect/RegistrationIndex.h"
#include "model/ProjectState.h"
#include "projectfile/ProjectFile.h"
#include "projectfile/Report.h"
#include "win32/ComponentFile_win.h"
#include "win32/FileSystem_win.h"
#include "win32/MainWindow_win.h"
#include "win32/Registry_win.h"
#include "win32/SystemFacts_win.h"

namespace {

using namespace prowl;

constexpr int kRuns = 7;
constexpr int kFolders = 1000, kFilesPerFolder = 99;  // with the folders, 100,000 records
constexpr int kExisting = 1000;

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring work = bench::WorkFolder(argc, argv, "report");
    if (work.empty()) return 2;

    ProjectState windowState;
    const auto window = bench::MainWindowFor(windowState);
    StatusSink& sink = window->Logic();

    ProjectState absent;
    absent.SaveFile->StartPath = work + L"\\absent";
    for (int f = 0; f < kFolders; ++f) {
        const std::wstring folder = absent.SaveFile->StartPath + L"\\Folder" + std::to_wstring(f);
        bench::AddRecord(absent, folder, kNodeFolder, 0);
        const int32_t parent = absent.DigColl->Count();
        for (int i = 0; i < kFilesPerFolder; ++i)
            bench::AddRecord(
                absent, folder + L"\\component_" + std::to_wstring(i) + (i % 2 ? L".ocx" : L".dll"),
                i % 2 ? kNodeOcx : kNodeDll, parent);
    }

    // Real program files to read: copies of a small system DLL.
    ProjectState present;
    const std::wstring presentFolder = work + L"\\present";
    CreateDirectoryW(presentFolder.c_str(), nullptr);
    wchar_t system[MAX_PATH];
    const std::wstring source =
        std::wstring(system, GetSystemDirectoryW(system, MAX_PATH)) + L"\\version.dll";
    for (int i = 0; i < kExisting; ++i) {
        const std::wstring path = presentFolder + L"\\copy_" + std::to_wstring(i) + L".dll";
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
            !CopyFileW(source.c_str(), path.c_str(), TRUE)) {
            std::fprintf(stderr, "bench_report: copying %ls failed (%lu)\n", source.c_str(),
                         GetLastError());
            return 1;
        }
        bench::AddRecord(present, path, kNodeDll, 0);
    }

    win32::Win32FileSystem fs;
    win32::Win32ComponentFiles components;
    win32::Win32SystemFacts facts;
    win32::Win32RegistryReader registry;
    const std::wstring project = work + L"\\project.prw", report = work + L"\\report.csv";
    // The registry walk comes once per export whatever the project's size: timed apart.
    const RegistrationIndex index = RegistrationIndex::Build(registry, facts);
    const auto exportReport = [&](const ProjectState& state) {
        WriteReport(*state.DigColl, {fs, components, facts, index}, sink, report);
    };

    const auto times = bench::InterleavedMedians(
        {[&] { exportReport(absent); }, [&] { SaveProjectFile(absent, fs, sink, project); }},
        kRuns);
    const double indexMs =
        bench::MedianSeconds([&] { RegistrationIndex::Build(registry, facts); }, kRuns) * 1000.0;
    const double existingMs = bench::MedianSeconds([&] { exportReport(present); }, kRuns) * 1000.0;

    std::printf("records: %d (%d DLL/OCX, all absent), median of %d runs after one warm-up\n",
                absent.DigColl->Count(), kFolders * kFilesPerFolder, kRuns);
    std::printf(
        "report: %.1f ms, save: %.1f ms; once per export besides: %.1f ms for the "
        "registration index\n",
        times[0] * 1000.0, times[1] * 1000.0, indexMs);
    std::printf("existing files: %.1f ms per 1,000 (headers read)\n",
                existingMs * 1000.0 / kExisting);
    std::printf("report/vs-save: %.2f\n", times[0] / times[1]);
    return 0;
}
