#pragma once
// What the inspection tests share: the real test components, the real registration utility,
// and system facts the test chooses.

#include <windows.h>

#include <map>

#include "win32/ComponentFile_win.h"
#include "win32/Launcher_win.h"
#include "win32/SystemFacts_win.h"

namespace prowl::test {

inline std::string ComponentBytes(const wchar_t* name) {
    const std::string folder = PROWL_TEST_COMPONENTS;
    std::wstring path = L"Z:" + std::wstring(folder.begin(), folder.end()) + L"/" + name;
    const auto source = win32::Win32ComponentFiles().Open(path);
    std::string bytes(source ? source->Size() : 0, '\0');
    if (!source || !source->Read(0, bytes.data(), bytes.size()))
        throw std::runtime_error("a test component cannot be read");
    return bytes;
}

// The system's own utility with the arguments; its exit code, or ~0 if it did not end.
inline DWORD RunRegsvr32(const std::wstring& arguments) {
    const win32::Win32SystemFacts facts;
    const StartResult started =
        win32::Win32Launcher(facts).StartHidden(L"regsvr32.exe", L"regsvr32.exe " + arguments, L"");
    for (const ULONGLONG end = GetTickCount64() + 60000;
         started.process && !started.process->WaitForExitOrInput(100) && GetTickCount64() < end;) {
    }
    return started.process ? started.process->ExitCode().value_or(~0u) : ~0u;
}

struct FakeFacts final : SystemFacts {
    std::wstring System64 = L"C:\\Windows\\System32", System32 = L"C:\\Windows\\SysWOW64";
    std::map<std::wstring, std::wstring> Variables, LongPaths;

    std::wstring SystemFolder(Bitness b) const override {
        return b == Bitness::Bits32 ? System32 : System64;
    }
    std::wstring WindowsFolder() const override { return Variables.at(L"windir"); }
    std::optional<std::wstring> Environment(const std::wstring& name) const override {
        return Variables.contains(name) ? std::optional(Variables.at(name)) : std::nullopt;
    }
    bool IsElevated() const override { return true; }
    std::wstring LongPath(const std::wstring& path) const override {
        return LongPaths.contains(path) ? LongPaths.at(path) : path;
    }
};

}  // namespace prowl::test
