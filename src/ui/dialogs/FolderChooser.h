#pragma once
// frmFolder: the start path of a new project, chosen as a drive and then a folder on it.
// The directory list shows the current path with its parents above it and its subfolders
// below it; opening an entry makes it the current path, highlighting one does not. OK hands
// back the current path, every other way out an empty one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/FileSystem.h"
#include "ui/dialogs/MachineDrives.h"
#include "ui/dialogs/ModalDialog.h"

namespace prowl {

inline constexpr const wchar_t* kChooserCaption = L"ActiveX Prowl - Choose Start Path";

class FolderChooser final : public ModalDialog {
  public:
    // Opens at the process's current drive and folder.
    FolderChooser(MachineDrives& drives, FileSystem& files, Prompts& prompts);

    // "" unless the dialog was closed with OK.
    const std::wstring& Folder() const { return folder_; }
    const std::wstring& CurrentPath() const { return current_; }

    void SelectDrive(int32_t index) { Select(L"aDrive", index); }
    void Highlight(int32_t index) { Select(L"aDir", index); }
    void OpenEntry(int32_t index) { Open(L"aDir", index); }
    void OK() { Click(L"cmdOK"); }
    void Cancel() { Click(L"cmdCancel"); }

  private:
    void OnClick(const std::wstring& name) override;
    void OnSelect(const std::wstring& name, int32_t index) override;
    void OnOpen(const std::wstring& name, int32_t index) override;
    void OnDismiss() override;

    // Lists the folder and makes it the current path; the reason when it cannot be read.
    std::optional<std::wstring> GoTo(const std::wstring& path);
    void Show(const std::wstring& path, const std::vector<std::wstring>& subfolders);
    void TellUnreadable(const std::wstring& path, const std::wstring& reason);

    MachineDrives& drives_;
    FileSystem& files_;
    std::vector<std::wstring> roots_;
    std::vector<std::wstring> entryPaths_;  // the full path of each directory list entry
    int32_t driveIndex_ = -1;
    std::wstring current_;
    std::wstring folder_;
};

}  // namespace prowl
