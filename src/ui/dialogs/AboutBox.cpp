#include "ui/dialogs/AboutBox.h"

#include <cstdint>

#include "ui/dialogs/LocaleFormat.h"

namespace prowl {
namespace {

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 0;
constexpr int kVersionRevision = 0;

// What the value would take in the ANSI buffer of 1024 bytes the tool's path is read into.
constexpr std::size_t kValueBufferBytes = 1024;

constexpr const wchar_t* kMsinfoKey = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const wchar_t* kLocationKey = L"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const wchar_t* kProgram = L"\\MSINFO32.EXE";

bool IsText(uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// Text values are stored as UTF-16 (little-endian), whatever the size of wchar_t here.
std::wstring DecodeUtf16(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                static_cast<unsigned char>(bytes[i + 1]) << 8);
        if constexpr (sizeof(wchar_t) >= 4) {
            if (unit >= 0xDC00 && unit <= 0xDFFF && !text.empty() && text.back() >= 0xD800 &&
                text.back() <= 0xDBFF) {
                text.back() = static_cast<wchar_t>(0x10000 + ((text.back() - 0xD800) << 10) +
                                                   (unit - 0xDC00));
                continue;
            }
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

std::wstring Hex(uint32_t value) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    do {
        text.insert(text.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value);
    return text;
}

}  // namespace

AboutBox::AboutBox(RegistryReader& registry, Launcher& launcher, FileSystem& files,
                   Prompts& prompts, std::wstring systemFolder)
    : ModalDialog(L"frmAbout", std::wstring(L"About ") + kAppTitle, &prompts),
      registry_(registry),
      launcher_(launcher),
      files_(files),
      systemFolder_(std::move(systemFolder)) {
    Add({.name = L"Image1", .kind = ControlKind::Icon});
    Add({.name = L"lblTitle", .kind = ControlKind::CaptionLabel, .text = kAppTitle});
    Add({.name = L"lblVersion",
         .text = L"Version " + std::to_wstring(kVersionMajor) + L"." +
                 std::to_wstring(kVersionMinor) + L"." + std::to_wstring(kVersionRevision)});
    Add({.name = L"lblDescription",
         .text = L"ActiveX Prowl manages all ActiveX controls (*.DLL and *.OCX) within a "
                 L"specified path.  Most ActiveX control management applications approach "
                 L"control management from the registry level.  ActiveX Prowl manages these "
                 L"controls from the file level, allowing the user to register and unregister "
                 L"the controls.  ActiveX Prowl treats each search as a project.  You can "
                 L"create, modify, save and load ActiveX Prowl projects.  Within a project, you "
                 L"may choose to include / exclude controls and / or folders."});
    Add({.name = L"Line1", .kind = ControlKind::Separator});
    Add({.name = L"lblDisclaimer",
         .kind = ControlKind::WarningLabel,
         .text = L"Use of this program results in changes to your PC's registry.  Tampering "
                 L"with the registration of certain files may cause Windows to become unstable "
                 L"or inoperable.  Please use caution.  YOU are responsible for any and every "
                 L"action performed by this software."});
    Add({.name = L"cmdOK", .kind = ControlKind::Button, .text = L"OK", .isDefault = true});
    Add({.name = L"cmdSysInfo", .kind = ControlKind::Button, .text = L"&System Info..."});
}

void AboutBox::OnClick(const std::wstring& name) {
    if (name == L"cmdSysInfo")
        StartSysInfo();
    else
        Close();
}

bool AboutBox::Start(const std::wstring& path) {
    std::wstring error;
    return launcher_.StartShown(path, &error);
}

void AboutBox::StartSysInfo() {
    std::wstring path;
    if (GetKeyValue(RegistryRoot::LocalMachine, kMsinfoKey, L"PATH", path)) {
        // The path the tool registered is started as read; the second place is not asked.
        if (Start(path)) return;
    } else if (GetKeyValue(RegistryRoot::LocalMachine, kLocationKey, L"MSINFO", path)) {
        path += kProgram;
        if (files_.FileExists(path) && Start(path)) return;
    }
    // Where the registry leads nowhere, the copy the system ships in its own folder.
    if (!systemFolder_.empty()) {
        path = systemFolder_;
        if (path.back() == L'\\') path.pop_back();
        path += kProgram;
        if (files_.FileExists(path) && Start(path)) return;
    }
    CurrentPrompts().ShowMessage({.text = L"System Information Is Unavailable At This Time",
                                  .title = kAppTitle,
                                  .buttons = MsgButtons::Ok,
                                  .icon = MsgIcon::None});
}

bool AboutBox::GetKeyValue(RegistryRoot KeyRoot, const std::wstring& KeyName,
                           const std::wstring& SubKeyRef, std::wstring& KeyVal) {
    // The reader opens every key for reading only: asking for more fails on an ordinary
    // account, which would make the tool look unavailable to every user who is no admin.
    const auto key = registry_.Open(KeyRoot, KeyName);
    const auto value = key ? key->QueryValue(SubKeyRef) : std::nullopt;
    if (!value) {
        KeyVal.clear();
        return false;
    }
    std::wstring text;
    std::size_t bytes = value->data.size();
    if (IsText(value->type)) {
        text = DecodeUtf16(value->data);
        bytes = AnsiByteCount(text);
    }
    if (bytes > kValueBufferBytes) {
        KeyVal.clear();
        return false;
    }
    if (value->type == kRegSz) {
        // The text ends at its terminating NUL, as the system reads it.
        KeyVal = text.substr(0, text.find(L'\0'));
    } else if (value->type == kRegDword) {
        uint32_t number = 0;
        for (std::size_t i = 0; i < value->data.size() && i < 4; ++i)
            number |= static_cast<uint32_t>(static_cast<unsigned char>(value->data[i])) << (8 * i);
        KeyVal = L"&h" + Hex(number);
    }
    return true;
}

}  // namespace prowl
