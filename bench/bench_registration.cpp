// Register Group over 50,000 existing files with a launcher whose programs end at once, beside a
// bare loop that makes the same look-up on disk and the same two launches per file: what the
// engine itself costs (the walk, the reports through the real window, the waits).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Measure.h"
#include "registration/RegistrationEngine.h"
#include "ui/memory/MemoryControls.h"
#include "win32/ComponentFile_win.h"
#include "win32/FileSystem_win.h"
#include "win32/MainWindow_win.h"
#include "win32/SystemFacts_win.h"

namespace {

using namespace prowl;

constexpr int kFolders = 100, kFilesPerFolder = 500;  // 50,000 files
constexpr int kRuns = 9;

class InstantLauncher final : public Launcher {
  public:
    StartResult StartHidden(const std::wstring&, const std::wstring& commandLine,
                            const std::wstring&) override {
        characters += commandLine.size();
        return {std::make_unique<Ended>(), L""};
    }
    bool StartShown(const std::wstring&, std::wstring*) override { return false; }
    std::size_t characters = 0;

  private:
    struct Ended final : RunningProcess {
        bool WaitForExitOrInput(uint32_t) override { return true; }
        std::optional<uint32_t> ExitCode() const override { return 0u; }
    };
};

void Fail(const char* what) {
    std::fprintf(stderr, "bench_registration: %s failed (error %lu)\n", what, GetLastError());
    ExitProcess(1);
}

// The records a scan would make, and (unless an earlier run finished them) the files.
void Build(ProjectState& state, const std::wstring& root, bool onDisk) {
    if (onDisk) CreateDirectoryW(root.c_str(), nullptr);
    bench::AddRecord(state, root, kNodeFolder, 0);
    for (int f = 0; f < kFolders; ++f) {
        const std::wstring folder = root + L"\\Vendor" + std::to_wstring(100 + f);
        if (onDisk && !CreateDirectoryW(folder.c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            Fail("creating a folder");
        const int32_t parent = bench::AddRecord(state, folder, kNodeFolder, 1)->Index;
        for (int i = 0; i < kFilesPerFolder; ++i) {
            const std::wstring path = folder + L"\\control" + std::to_wstring(1000 + i) + L".ocx";
            if (onDisk) {
                HANDLE h =
                    CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                if (h == INVALID_HANDLE_VALUE) Fail("creating a file");
                CloseHandle(h);
            }
            bench::AddRecord(state, path, kNodeOcx, parent);
        }
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring work = bench::WorkFolder(argc, argv, "registration");
    if (work.empty()) return 2;
    const std::wstring root = work + L"\\tree", complete = work + L"\\tree-complete";
    const bool reuse = GetFileAttributesW(complete.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!reuse)
        std::printf("Generating %d files (once per work folder)...\n", kFolders * kFilesPerFolder);

    ProjectState state;
    Build(state, root, !reuse);
    if (!reuse)
        CloseHandle(
            CreateFileW(complete.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    // Reports go to the real main window, which processes its messages as in the program.
    const auto window = bench::MainWindowFor(state);

    win32::Win32FileSystem fs;
    InstantLauncher launcher;
    ScriptedPrompts prompts;
    win32::Win32ComponentFiles components;
    const win32::Win32SystemFacts facts;
    RegistrationEngine engine(state, fs, launcher, window->Logic(), prompts, components, facts);
    std::vector<std::wstring> files;
    for (const ObjectRef& r : *state.DigColl)
        if (r->NodeType == kNodeOcx) files.push_back(r->Path);

    std::size_t present = 0;
    const auto launch = [&](const wchar_t* switches, const std::wstring& path) {
        const std::wstring folder = path.substr(0, path.rfind(L'\\'));
        auto started = launcher.StartHidden(
            L"regsvr32.exe", std::wstring(L"RegSvr32 ") + switches + L"\"" + path + L"\"", folder);
        while (!started.process->WaitForExitOrInput(INFINITE)) {
        }
        present += *started.process->ExitCode() == 0;
    };
    const auto medians =
        bench::InterleavedMedians({[&] { engine.RunGroup(state.DigColl->Item(1), true); },
                                   [&] {
                                       for (const std::wstring& path : files) {
                                           if (fs.LookUpFile(path, nullptr) != FileLookup::Present)
                                               continue;
                                           launch(L"/U /S ", path);
                                           launch(L"/S ", path);
                                       }
                                   }},
                                  kRuns);
    if (!prompts.messages.empty() || present != files.size() * 2 * (kRuns + 1))
        std::printf("warning: not every file was present and registered\n");

    std::printf("files: %zu, two launches each, median of %d runs after one warm-up\n",
                files.size(), kRuns);
    std::printf("%-14s %10.1f ms\n%-14s %10.1f ms\n", "engine", medians[0] * 1000.0, "bare loop",
                medians[1] * 1000.0);
    std::printf("registration/overhead: %.2f\n", medians[0] / medians[1]);
    return 0;
}
