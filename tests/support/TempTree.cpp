#include "support/TempTree.h"

#include <process.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "model/SystemPath.h"

namespace prowl::test {

namespace fs = std::filesystem;

wchar_t UnusedDriveLetter() {
    const DWORD drives = GetLogicalDrives();
    for (wchar_t c = L'Y'; c > L'D'; --c)
        if (!(drives & (1u << (c - L'A')))) return c;
    throw std::runtime_error("every drive letter is in use");
}

void RunUnix(const std::wstring& program, const std::wstring& arguments) {
    std::wstring windowsProgram = L"Z:" + program;
    std::replace(windowsProgram.begin(), windowsProgram.end(), L'/', L'\\');
    // The arguments go on the command line as they are, quotes and all.
    if (_wspawnl(_P_WAIT, windowsProgram.c_str(), program.c_str(), arguments.c_str(), nullptr) < 0)
        throw std::runtime_error("cannot start a Unix program");
}

TempTree::TempTree() {
    // Wine reuses process ids quickly, so the clock makes the name unique across runs.
    static std::atomic<int> counter{0};
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    unixRoot_ = L"/tmp/prowl-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(now.QuadPart) + L"-" + std::to_wstring(counter++);
    root_ = fs::path(L"Z:" + unixRoot_).make_preferred().wstring();
    fs::create_directory(root_);
}

// rm does not follow links, so a link into or out of the tree cannot take anything else.
TempTree::~TempTree() {
    for (const auto& link : mapped_) RunUnix(L"/bin/rm", L"-f \"" + link + L"\"");
    RunUnix(L"/bin/rm", L"-rf " + unixRoot_);
}

std::wstring TempTree::Path(const std::wstring& relative) const {
    return relative.empty() ? root_ : root_ + L"\\" + relative;
}

void TempTree::Folder(const std::wstring& relative) {
    fs::create_directories(ToSystemPath(Path(relative)));
}

void TempTree::File(const std::wstring& relative, const std::string& bytes) {
    const fs::path path = ToSystemPath(Path(relative));
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string TempTree::Read(const std::wstring& relative) const {
    std::ifstream in(fs::path(ToSystemPath(Path(relative))), std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

void TempTree::Map(const std::wstring& name, const std::wstring& relative) {
    // Q: is dosdevices/q:, and \\server\share is dosdevices/unc/server/share.
    std::wstring device = name;
    std::transform(device.begin(), device.end(), device.begin(), towlower);
    if (device.starts_with(L"\\\\")) device = L"unc" + device.substr(1);
    std::replace(device.begin(), device.end(), L'\\', L'/');
    const std::wstring link = fs::path(getenv("WINEPREFIX")).wstring() + L"/dosdevices/" + device;
    RunUnix(L"/bin/mkdir", L"-p \"" + link.substr(0, link.rfind(L'/')) + L"\"");
    RunUnix(L"/bin/ln", L"-sfn \"" + unixRoot_ + L"/" + relative + L"\" \"" + link + L"\"");
    mapped_.push_back(link);
    // A Unix child's process handle may signal before the child has finished its work.
    for (int i = 0;
         i < 500 && GetFileAttributesW((name + L"\\").c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(10);
}

}  // namespace prowl::test
