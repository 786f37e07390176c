// The about box's registry reads and the start of the system information tool, on the real
// registry under Wine. Every key and value a test changes is put back as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/TempTree.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/memory/MemoryControls.h"
#include "win32/FileSystem_win.h"
#include "win32/Registry_win.h"

namespace prowl {
namespace {

constexpr wchar_t kMsinfoKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr wchar_t kLocationKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr wchar_t kScratchKey[] = L"SOFTWARE\\ActiveXProwlTest";

// One value under HKEY_LOCAL_MACHINE, restored (or removed, with a key the test made) at the
// end of the scope.
class ScopedValue {
  public:
    ScopedValue(std::wstring key, std::wstring name)
        : key_(std::move(key)), name_(std::move(name)) {
        HKEY h = nullptr;
        keyExisted_ = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_READ, &h) == 0;
        if (!keyExisted_) return;
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(h, name_.c_str(), nullptr, &type, nullptr, &size) == 0) {
            std::vector<BYTE> data(size);
            RegQueryValueExW(h, name_.c_str(), nullptr, &type, data.data(), &size);
            old_ = {type, data};
        }
        RegCloseKey(h);
    }
    ~ScopedValue() {
        if (!keyExisted_) {
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str());
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, key_.c_str());
        } else if (old_) {
            Write(old_->first, old_->second);
        } else {
            Remove();
        }
    }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

    void Text(DWORD type, const std::wstring& text) {  // stored with its terminating NUL
        const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        Write(type, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t)));
    }
    void Number(DWORD value) {
        const auto* bytes = reinterpret_cast<const BYTE*>(&value);
        Write(REG_DWORD, std::vector<BYTE>(bytes, bytes + 4));
    }
    void Remove() {
        HKEY h = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_SET_VALUE, &h) != 0) return;
        RegDeleteValueW(h, name_.c_str());
        RegCloseKey(h);
    }

  private:
    void Write(DWORD type, const std::vector<BYTE>& data) {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &h, nullptr),
                  0);
        RegSetValueExW(h, name_.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
        RegCloseKey(h);
    }

    std::wstring key_, name_;
    bool keyExisted_ = false;
    std::optional<std::pair<DWORD, std::vector<BYTE>>> old_;
};

// Records every start it is asked for; like a real launch, it fails where no file is.
struct RecordingLauncher : Launcher {
    StartResult StartHidden(const std::wstring&, const std::wstring&,
                            const std::wstring&) override {
        ADD_FAILURE() << "nothing here starts hidden";
        return {};
    }
    bool StartShown(const std::wstring& path, std::wstring* error) override {
        started.push_back(path);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return true;
        if (error) *error = L"The system cannot find the file specified.";
        return false;
    }
    std::vector<std::wstring> started;
};

struct AboutBoxTest : ::testing::Test {
    AboutBox About(const std::wstring& systemFolder = L"") {
        return AboutBox(registry, launcher, files, prompts, systemFolder);
    }
    win32::Win32RegistryReader registry;
    win32::Win32FileSystem files;
    RecordingLauncher launcher;
    ScriptedPrompts prompts;
};

TEST_F(AboutBoxTest, GetKeyValueReadsStringsAndNumbersWithinTheirBufferAndKeepsOtherTypes) {
    ScopedValue value(kScratchKey, L"V");
    struct Case {
        const char* name;
        std::function<void()> set;
        bool read;
        std::wstring result;  // the caller passes "before"
    } cases[] = {
        {"a path", [&] { value.Text(REG_SZ, L"C:\\Tools\\msinfo32.exe"); }, true,
         L"C:\\Tools\\msinfo32.exe"},
        {"no such value", [&] { value.Remove(); }, false, L""},
        {"1023 characters and the NUL fill the buffer",
         [&] { value.Text(REG_SZ, std::wstring(1023, L'a')); }, true, std::wstring(1023, L'a')},
        {"1024 characters and the NUL do not",
         [&] { value.Text(REG_SZ, std::wstring(1024, L'a')); }, false, L""},
        // Measured in the bytes of the ANSI code page, not in those the registry stores.
        {"1023 accented letters fit", [&] { value.Text(REG_SZ, std::wstring(1023, L'\u00e9')); },
         true, std::wstring(1023, L'\u00e9')},
        {"an expandable string", [&] { value.Text(REG_EXPAND_SZ, L"%SystemRoot%\\x.exe"); }, true,
         L"before"},
        {"a number", [&] { value.Number(0x00010A03); }, true, L"&h10A03"},
        {"binary data", [&] { value.Text(REG_BINARY, L"xy"); }, true, L"before"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        std::wstring result = L"before";
        EXPECT_EQ(About().GetKeyValue(RegistryRoot::LocalMachine, kScratchKey, L"V", result),
                  c.read);
        EXPECT_EQ(result, c.result);
    }
    std::wstring result = L"before";
    EXPECT_FALSE(About().GetKeyValue(RegistryRoot::LocalMachine, L"SOFTWARE\\NoSuchKeyOfProwl",
                                     L"V", result));
    EXPECT_EQ(result, L"");
}

TEST_F(AboutBoxTest, SystemInfoStartsTheToolTheRegistryOrTheSystemFolderLeadsTo) {
    test::TempTree tree;
    tree.File(L"tools\\msinfo.exe", "MZ");
    tree.File(L"located\\MSINFO32.EXE", "MZ");
    tree.File(L"system\\MSINFO32.EXE", "MZ");
    tree.Folder(L"empty");
    ScopedValue path(kMsinfoKey, L"PATH");
    ScopedValue location(kLocationKey, L"MSINFO");
    const std::wstring tool = tree.Path(L"tools\\msinfo.exe");
    const std::wstring missing = tree.Path(L"tools\\missing.exe");
    const std::wstring located = tree.Path(L"located\\MSINFO32.EXE");
    const std::wstring system = tree.Path(L"system\\MSINFO32.EXE");

    struct Case {
        const char* name;
        std::function<void()> set;
        const wchar_t* systemFolder;
        std::vector<std::wstring> started;
        bool unavailable;
    } cases[] = {
        {"the first location names the tool",
         [&] {
             path.Text(REG_SZ, tool);
             location.Text(REG_SZ, tree.Path(L"located"));
         },
         L"system",
         {tool},
         false},
        {"only the second location, its folder holds the tool",
         [&] {
             path.Remove();
             location.Text(REG_SZ, tree.Path(L"located"));
         },
         L"empty",
         {located},
         false},
        {"the second location's folder lacks it; the system folder has it",
         [&] { location.Text(REG_SZ, tree.Path(L"empty")); },
         L"system",
         {system},
         false},
        {"nowhere at all", [&] { location.Remove(); }, L"empty", {}, true},
        {"the first location names a missing program: the second is not tried",
         [&] {
             path.Text(REG_SZ, missing);
             location.Text(REG_SZ, tree.Path(L"located"));
         },
         L"empty",
         {missing},
         true},
        {"the first location holds another type of value",
         [&] { path.Text(REG_EXPAND_SZ, tool); },
         L"empty",
         {L""},
         true},
        {"the first location's value is too long to read: the second is",
         [&] { path.Text(REG_SZ, tool + std::wstring(1100, L' ')); },
         L"empty",
         {located},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        launcher.started.clear();
        prompts.messages.clear();
        if (c.unavailable) prompts.messageAnswers.push_back(MsgAnswer::Ok);
        AboutBox about = About(tree.Path(c.systemFolder));
        about.Click(L"cmdSysInfo");
        EXPECT_EQ(launcher.started, c.started);
        ASSERT_EQ(prompts.messages.size(), c.unavailable ? 1u : 0u);
        if (c.unavailable) {
            EXPECT_EQ(prompts.messages[0].text, L"System Information Is Unavailable At This Time");
            EXPECT_EQ(prompts.messages[0].title, L"ActiveXProwl");
            EXPECT_EQ(prompts.messages[0].icon, MsgIcon::None);
            EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::Ok);
        }
        EXPECT_FALSE(about.Closed());
    }
}

}  // namespace
}  // namespace prowl
