#pragma once
// frmAbout: the application's title, version, what it does and a warning, and a button
// that starts the system information tool. Its registry reads are the program's only ones
// outside component inspection, and they only read.

#include <string>

#include "model/FileSystem.h"
#include "model/RegistryReader.h"
#include "registration/Launcher.h"
#include "ui/dialogs/ModalDialog.h"

namespace prowl {

inline constexpr const wchar_t* kAppTitle = L"ActiveXProwl";

class AboutBox final : public ModalDialog {
  public:
    // systemFolder: the system's own folder (the platform's SystemFacts tells it), where the
    // tool is looked for when the registry leads to none; "" to skip that.
    AboutBox(RegistryReader& registry, Launcher& launcher, FileSystem& files, Prompts& prompts,
             std::wstring systemFolder);

    // Starts the tool, or says that it is unavailable.
    void StartSysInfo();
    // Reads a value as text into KeyVal: a string as it is, a 32-bit number as "&h" and its
    // hexadecimal digits; any other type leaves KeyVal as it was. false, with KeyVal "", when
    // the key or value cannot be read or holds more than the 1024 bytes it may take.
    bool GetKeyValue(RegistryRoot KeyRoot, const std::wstring& KeyName,
                     const std::wstring& SubKeyRef, std::wstring& KeyVal);

  private:
    void OnClick(const std::wstring& name) override;
    void OnDismiss() override { Click(L"cmdOK"); }
    bool Start(const std::wstring& path);

    RegistryReader& registry_;
    Launcher& launcher_;
    FileSystem& files_;
    std::wstring systemFolder_;
};

}  // namespace prowl
