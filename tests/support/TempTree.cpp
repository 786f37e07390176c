#include "support/TempTree.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "model/SystemPath.h"

namespace prowl::test {

namespace {
std::atomic<int> counter{0};

std::wstring Widen(const std::string& s) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

std::string ToUtf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring Quote(const std::string& s) { return L"\"" + Widen(s) + L"\""; }

// A Unix child's process handle may signal before the child has finished its work, so
// callers that need the result wait for it to show.
template <typename Done>
void WaitUntil(Done done) {
    for (int i = 0; i < 500 && !done(); ++i) Sleep(10);
    if (!done()) throw std::runtime_error("a Unix command did not take effect");
}
}  // namespace

wchar_t UnusedDriveLetter() {
    const DWORD drives = GetLogicalDrives();
    for (wchar_t c = L'Y'; c > L'D'; --c)
        if (!(drives & (1u << (c - L'A')))) return c;
    throw std::runtime_error("every drive letter is in use");
}

void RunUnix(const std::wstring& program, const std::wstring& arguments) {
    std::wstring windowsProgram = L"Z:" + program;
    std::replace(windowsProgram.begin(), windowsProgram.end(), L'/', L'\\');
    std::wstring commandLine = program + L" " + arguments;
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
    root_ = L"Z:" + Widen(unixRoot_);
    std::replace(root_.begin(), root_.end(), L'/', L'\\');
    if (!CreateDirectoryW(root_.c_str(), nullptr))
        throw std::runtime_error("cannot make temp root");
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
    for (std::size_t pos = 0;; ++pos) {
        pos = relative.find(L'\\', pos);
        const std::wstring path = ToSystemPath(Path(relative.substr(0, pos)));
        if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot make folder");
        if (pos == std::wstring::npos) break;
    }
}

void TempTree::File(const std::wstring& relative, const std::string& bytes) {
    const std::size_t slash = relative.rfind(L'\\');
    if (slash != std::wstring::npos) Folder(relative.substr(0, slash));
    HANDLE h = CreateFileW(ToSystemPath(Path(relative)).c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make file");
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::string TempTree::Read(const std::wstring& relative) const {
    HANDLE h = CreateFileW(ToSystemPath(Path(relative)).c_str(), GENERIC_READ, FILE_SHARE_READ,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(h);
    return bytes;
}

std::vector<std::wstring> TempTree::Names(const std::wstring& relative) const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((Path(relative) + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void TempTree::SetAttributes(const std::wstring& relative, unsigned long attributes) {
    if (!SetFileAttributesW(ToSystemPath(Path(relative)).c_str(), attributes))
        throw std::runtime_error("cannot set attributes");
}

void TempTree::Link(const std::wstring& link, const std::wstring& target) {
    RunUnix(L"/bin/ln", L"-sfn " + Quote(UnixPath(target)) + L" " + Quote(UnixPath(link)));
    const std::wstring path = Path(link);
    WaitUntil([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

void TempTree::Map(const std::wstring& name, const std::wstring& relative) {
    wchar_t prefix[4096];
    const DWORD n = GetEnvironmentVariableW(L"WINEPREFIX", prefix, 4096);
    if (n == 0 || n >= 4096) throw std::runtime_error("WINEPREFIX is not set");
    // Q: is dosdevices/q:, and \\server\share is dosdevices/unc/server/share.
    std::wstring device = name;
    std::transform(device.begin(), device.end(), device.begin(), towlower);
    if (device.rfind(L"\\\\", 0) == 0) device = L"unc" + device.substr(1);
    std::replace(device.begin(), device.end(), L'\\', L'/');
    const std::string link = ToUtf8(std::wstring(prefix, n)) + "/dosdevices/" + ToUtf8(device);
    RunUnix(L"/bin/mkdir", L"-p " + Quote(link.substr(0, link.rfind('/'))));
    RunUnix(L"/bin/ln", L"-sfn " + Quote(UnixPath(relative)) + L" " + Quote(link));
    mapped_.push_back(link);
    const std::wstring root = name + L"\\";
    WaitUntil([&] { return GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

}  // namespace prowl::test
