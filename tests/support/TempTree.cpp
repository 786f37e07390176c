#include "support/TempTree.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "model/SystemPath.h"

namespace prowl::test {

namespace fs = std::filesystem;

namespace {
std::atomic<int> counter{0};

std::wstring Quote(const std::string& utf8) {
    return L"\"" + fs::path(std::u8string(utf8.begin(), utf8.end())).wstring() + L"\"";
}
}  // namespace

wchar_t UnusedDriveLetter() {
    const DWORD drives = GetLogicalDrives();
    for (wchar_t c = L'Y'; c > L'D'; --c)
        if (!(drives & (1u << (c - L'A')))) return c;
    throw std::runtime_error("every drive letter is in use");
}

void RunUnix(const std::wstring& program, const std::wstring& arguments) {
    std::wstring windowsProgram = L"Z:" + program, commandLine = program + L" " + arguments;
    std::replace(windowsProgram.begin(), windowsProgram.end(), L'/', L'\\');
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(windowsProgram.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &si, &pi))
        throw std::runtime_error("cannot start a Unix program");
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

TempTree::TempTree() {
    // Wine reuses process ids quickly, so the clock makes the name unique across runs.
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    unixRoot_ = "/tmp/prowl-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(now.QuadPart) + "-" + std::to_string(counter++);
    root_ = fs::path("Z:" + unixRoot_).make_preferred().wstring();
    fs::create_directory(root_);
}

TempTree::~TempTree() {
    for (const auto& link : mapped_) RunUnix(L"/bin/rm", L"-f " + Quote(link));
    // rm does not follow links, so a link into or out of the tree cannot take anything else.
    RunUnix(L"/bin/rm", L"-rf " + Quote(unixRoot_));
}

std::wstring TempTree::Path(const std::wstring& relative) const {
    return relative.empty() ? root_ : root_ + L"\\" + relative;
}

std::string TempTree::UnixPath(const std::wstring& relative) const {
    std::string path = unixRoot_ + (relative.empty() ? "" : "/" + ToUtf8(relative));
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
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

void TempTree::SetAttributes(const std::wstring& relative, unsigned long attributes) {
    if (!SetFileAttributesW(ToSystemPath(Path(relative)).c_str(), attributes))
        throw std::runtime_error("cannot set attributes");
}

void TempTree::Map(const std::wstring& name, const std::wstring& relative) {
    // Q: is dosdevices/q:, and \\server\share is dosdevices/unc/server/share.
    std::wstring device = name;
    std::transform(device.begin(), device.end(), device.begin(), towlower);
    if (device.rfind(L"\\\\", 0) == 0) device = L"unc" + device.substr(1);
    std::replace(device.begin(), device.end(), L'\\', L'/');
    const std::string link = std::string(getenv("WINEPREFIX")) + "/dosdevices/" + ToUtf8(device);
    RunUnix(L"/bin/mkdir", L"-p " + Quote(link.substr(0, link.rfind('/'))));
    RunUnix(L"/bin/ln", L"-sfn " + Quote(UnixPath(relative)) + L" " + Quote(link));
    mapped_.push_back(link);
    // A Unix child's process handle may signal before the child has finished its work.
    const auto mapped = [&] {
        return GetFileAttributesW((name + L"\\").c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    for (int i = 0; i < 500 && !mapped(); ++i) Sleep(10);
    if (!mapped()) throw std::runtime_error("a Unix command did not take effect");
}

}  // namespace prowl::test
