// System Info in the about box, over the real registry under Wine: which program it starts
// (as a recording launcher sees it) for each way the two registry places can be set. Every
// key and value the test changes is put back as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempTree.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/memory/MemoryControls.h"
#include "win32/FileSystem_win.h"
#include "win32/Registry_win.h"

namespace prowl {
namespace {

// A value under HKEY_LOCAL_MACHINE, restored at the end of the scope; a key the test made
// is removed again.
class ScopedValue {
  public:
    ScopedValue(const wchar_t* key, const wchar_t* name) : key_(key), name_(name) {
        HKEY h = nullptr;
        keyExisted_ = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &h) == ERROR_SUCCESS;
        if (h) RegCloseKey(h);
        DWORD size = sizeof(old_);
        had_ = RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &oldType_,
                            old_, &size) == ERROR_SUCCESS;
        if (had_) oldData_.assign(old_, size);
    }
    ~ScopedValue() {
        if (!keyExisted_) RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_);
        if (keyExisted_) Set(had_ ? oldType_ : REG_NONE, oldData_);
    }
    void Set(DWORD type, const std::string& data) {  // REG_NONE removes the value
        if (type == REG_NONE)
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key_, name_);
        else
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, key_, name_, type, data.data(),
                            static_cast<DWORD>(data.size()));
    }

  private:
    const wchar_t *key_, *name_;
    bool keyExisted_, had_;
    DWORD oldType_ = REG_NONE;
    char old_[4096];
    std::string oldData_;
};

// A text as the registry stores it: UTF-16 with its terminating NUL.
std::string Sz(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2);
}

// Records every start it is asked for; like a real launch, it fails where no file is.
struct RecordingLauncher : Launcher {
    StartResult StartHidden(const std::wstring&, const std::wstring&,
                            const std::wstring&) override {
        return {};
    }
    bool StartShown(const std::wstring& path, std::wstring*) override {
        started.push_back(path);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::vector<std::wstring> started;
};

TEST(AboutBox, SystemInfoStartsWhatTheRegistryOrElseTheSystemFolderLeadsTo) {
    test::TempTree tree;
    tree.File(L"tools\\msinfo.exe", "MZ");
    tree.File(L"located\\MSINFO32.EXE", "MZ");
    tree.File(L"system\\MSINFO32.EXE", "MZ");
    tree.Folder(L"empty");
    const std::wstring tool = tree.Path(L"tools\\msinfo.exe"), missing = tree.Path(L"gone.exe");
    const std::wstring located = tree.Path(L"located\\MSINFO32.EXE");
    const std::wstring fills(1023, L'a'), accented(1023, L'\u00e9');
    ScopedValue path(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH");
    ScopedValue location(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO");

    const std::wstring system = tree.Path(L"system\\MSINFO32.EXE");
    struct Case {
        DWORD pathType;  // REG_NONE: no PATH value
        std::string pathData;
        const wchar_t* location;  // the folder MSINFO names, null for none
        const wchar_t* systemFolder;
        std::vector<std::wstring> started;
        bool unavailable;
    } cases[] = {
        // The first place names the tool.
        {REG_SZ, Sz(tool), L"located", L"system", {tool}, false},
        // It names a missing program: the second place is not asked.
        {REG_SZ, Sz(missing), L"located", L"empty", {missing}, true},
        // A path that fills the 1024-byte buffer, counted in the ANSI code page with the NUL;
        // one that does in UTF-16 only; one byte too long, so the second place is asked.
        {REG_SZ, Sz(fills), nullptr, L"empty", {fills}, true},
        {REG_SZ, Sz(accented), nullptr, L"empty", {accented}, true},
        {REG_SZ, Sz(fills + L"a"), L"located", L"empty", {located}, false},
        // A value of another type is read as nothing; a number as hexadecimal.
        {REG_EXPAND_SZ, Sz(tool), nullptr, L"empty", {L""}, true},
        {REG_DWORD, std::string("\x03\x0A\x01\x00", 4), nullptr, L"empty", {L"&h10A03"}, true},
        // Only the second place: its folder holds the tool; it does not but the system's does;
        // nowhere at all.
        {REG_NONE, "", L"located", L"empty", {located}, false},
        {REG_NONE, "", L"empty", L"system", {system}, false},
        {REG_NONE, "", nullptr, L"empty", {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        path.Set(c.pathType, c.pathData);
        location.Set(c.location ? REG_SZ : REG_NONE, c.location ? Sz(tree.Path(c.location)) : "");
        win32::Win32RegistryReader registry;
        win32::Win32FileSystem files;
        RecordingLauncher launcher;
        ScriptedPrompts prompts;
        prompts.messageAnswers.push_back(MsgAnswer::Ok);
        AboutBox about(registry, launcher, files, prompts, tree.Path(c.systemFolder));
        about.Click(L"cmdSysInfo");
        EXPECT_EQ(launcher.started, c.started);
        ASSERT_EQ(prompts.messages.size(), c.unavailable ? 1u : 0u);
        if (c.unavailable) {
            EXPECT_EQ(prompts.messages[0].text, L"System Information Is Unavailable At This Time");
            EXPECT_EQ(prompts.messages[0].title, L"ActiveXProwl");
            EXPECT_EQ(prompts.messages[0].icon, MsgIcon::None);
        }
        EXPECT_FALSE(about.Closed());
    }
}

}  // namespace
}  // namespace prowl
