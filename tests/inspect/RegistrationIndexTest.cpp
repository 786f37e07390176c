#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <vector>

#include "InspectTestSupport.h"
#include "inspect/ComparablePath.h"
#include "inspect/ComponentTexts.h"
#include "support/TempTree.h"
#include "win32/Registry_win.h"
#include "win32/SystemFacts_win.h"

namespace prowl {
namespace {

using test::TempTree;

TEST(RegisteredFile, IsNamedByItsValueAsTheSystemReadsIt) {
    test::FakeFacts facts;
    facts.Variables = {{L"SystemRoot", L"C:\\Windows"}, {L"app", L"D:\\App"}};
    facts.LongPaths = {{L"C:\\PROGRA~1\\x.ocx", L"C:\\Program Files\\x.ocx"}};
    const PathResolver resolver(facts);
    const auto b32 = Bitness::Bits32, b64 = Bitness::Bits64;
    const std::tuple<const wchar_t*, Bitness, const wchar_t*> cases[] = {
        {L"%SystemRoot%\\System32\\a.dll", b64, L"C:\\WINDOWS\\SYSTEM32\\A.DLL"},
        {L"%SystemRoot%\\System32\\a.dll", b32, L"C:\\WINDOWS\\SYSWOW64\\A.DLL"},
        {L"C:\\Windows\\System32x\\a.dll", b32, L"C:\\WINDOWS\\SYSTEM32X\\A.DLL"},
        {L"a.dll", b32, L"C:\\WINDOWS\\SYSWOW64\\A.DLL"},
        {L"  \"%app%\\b c.dll\" ", b64, L"D:\\APP\\B C.DLL"},
        {L"%NOSUCH%\\a.dll", b64, L"%NOSUCH%\\A.DLL"},
        {L"C:\\PROGRA~1\\x.ocx", b64, L"C:\\PROGRAM FILES\\X.OCX"},
        {L" \"\" ", b64, L""},
        {L"c:/Dir//.\\sub\\..\\x.dll\\", b64, L"C:\\DIR\\X.DLL"},
        {L"\\\\?\\C:\\..\\..\\x.dll", b64, L"C:\\X.DLL"},
        {L"\\\\server\\share\\..\\..\\x.dll", b64, L"\\\\SERVER\\SHARE\\X.DLL"},
        {L"\\\\?\\UNC\\server\\share\\x.dll", b64, L"\\\\SERVER\\SHARE\\X.DLL"},
    };
    for (const auto& [value, bitness, file] : cases)
        EXPECT_EQ(resolver.RegisteredFile(value, bitness), file) << testing::PrintToString(value);
}

RegistrationIndex BuildIndex() {
    win32::Win32RegistryReader registry;
    return RegistrationIndex::Build(registry, win32::Win32SystemFacts());
}

TEST(RegistrationIndex, FindsTheUsersOwnClassesHoweverTheyNameTheFile) {
    TempTree tree;
    const std::wstring root = tree.Root();
    std::wstring upperRoot = root;
    for (auto& c : upperRoot) c = static_cast<wchar_t>(towupper(c));
    SetEnvironmentVariableW(L"PROWL_INSPECT_DIR", root.c_str());
    std::vector<std::wstring> written;
    const auto write = [&](const wchar_t* kind, int n, const std::wstring& below, DWORD type,
                           const std::wstring& text) {
        wchar_t id[64];
        swprintf(id, 64, L"{5052574E-%04X-0000-0000-%012lX}", n, GetCurrentProcessId());
        written.push_back(std::wstring(L"Software\\Classes\\") + kind + L"\\" + id);
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (written.back() + below).c_str(), nullptr,
                                  type, text.c_str(), (text.size() + 1) * sizeof(wchar_t)),
                  ERROR_SUCCESS);
    };
    const std::pair<DWORD, std::wstring> classes[] = {
        {REG_SZ, upperRoot + L"\\NAMED.OCX"},
        {REG_SZ, L"\"" + root + L"\\named.ocx\""},
        {REG_EXPAND_SZ, L"%PROWL_INSPECT_DIR%\\Named.ocx"},
        {REG_SZ, L"%prowl_inspect_dir%\\sub\\..\\Named.ocx"},
        {REG_SZ, root + L"\\Named.ocx.old"},
    };
    for (int i = 0; i < 5; ++i)
        write(L"CLSID", i, L"\\InprocServer32", classes[i].first, classes[i].second);
    // One type library, registered for two locales.
    write(L"TypeLib", 9, L"\\2.1\\0\\win64", REG_SZ, root + L"\\\\Named.ocx");
    write(L"TypeLib", 9, L"\\2.1\\409\\win64", REG_SZ, root + L"\\Named.ocx");

    EXPECT_EQ(BuildIndex().Lookup(tree.Path(L"Named.ocx")), (RegistrationCounts{4, 1}));
    for (const auto& key : written) RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
}  // namespace prowl
