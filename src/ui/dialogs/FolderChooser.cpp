#include "ui/dialogs/FolderChooser.h"

#include <algorithm>
#include <utility>

#include "model/ProwlError.h"
#include "model/TextCase.h"

namespace prowl {
namespace {

constexpr const wchar_t* kFolderGone = L"The folder does not exist.";

// A full path taken apart: its root as the directory list shows it at the top ("C:\",
// "\\server\share\") and the folder names below it.
struct PathParts {
    std::wstring root;
    std::vector<std::wstring> names;
};

PathParts Split(const std::wstring& path) {
    PathParts parts;
    std::size_t pos = 0;
    if (path.size() >= 2 && path[1] == L':') {
        wchar_t letter = path[0];
        if (letter >= L'a' && letter <= L'z') letter = static_cast<wchar_t>(letter - L'a' + L'A');
        parts.root = std::wstring(1, letter) + L":\\";
        pos = 2;
    } else if (path.rfind(L"\\\\", 0) == 0) {
        // \\server\share is one root: neither part can be opened on its own.
        const std::size_t server = path.find(L'\\', 2);
        pos = server == std::wstring::npos ? path.size() : path.find(L'\\', server + 1);
        if (pos == std::wstring::npos) pos = path.size();
        parts.root = path.substr(0, pos) + L"\\";
    }
    while (pos < path.size()) {
        std::size_t end = path.find(L'\\', pos);
        if (end == std::wstring::npos) end = path.size();
        if (end > pos) parts.names.push_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return !folder.empty() && folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

// The path as the list shows it: the root's letter in capitals, no doubled or closing
// backslashes below it.
std::wstring Normal(const std::wstring& path) {
    const PathParts parts = Split(path);
    std::wstring normal = parts.root;
    for (const auto& name : parts.names) normal = Join(normal, name);
    return normal;
}

// "C:" for a drive, "\\server\share" for a share: a root without its closing backslash.
std::wstring RootText(const std::wstring& root) {
    return root.size() > 1 && root.back() == L'\\' ? root.substr(0, root.size() - 1) : root;
}

}  // namespace

FolderChooser::FolderChooser(MachineDrives& drives, FileSystem& files, Prompts& prompts)
    : ModalDialog(L"frmFolder", kChooserCaption, &prompts), drives_(drives), files_(files) {
    Add({.name = L"Label3", .text = L"Choose a start path for your desired ActiveX objects"});
    Add({.name = L"Label2", .kind = ControlKind::CaptionLabel, .text = L"Initial Drive:"});
    Add({.name = L"aDrive", .kind = ControlKind::DriveList});
    Add({.name = L"Label1", .kind = ControlKind::CaptionLabel, .text = L"Initial Directory:"});
    Add({.name = L"aDir", .kind = ControlKind::DirectoryList, .lines = 10});
    Add({.name = L"cmdOK",
         .kind = ControlKind::Button,
         .text = L"&OK",
         .enabled = false,
         .isDefault = true});
    Add({.name = L"cmdCancel", .kind = ControlKind::Button, .text = L"&Cancel"});

    for (auto& root : drives_.DriveRoots()) roots_.push_back(Split(root).root);
    std::wstring start = drives_.CurrentFolder();
    std::wstring startRoot = Split(start).root;
    if (startRoot.empty() && !roots_.empty()) start = startRoot = roots_.front();
    auto found = std::find(roots_.begin(), roots_.end(), startRoot);
    // A process started in a shared folder has no drive letter: its share joins the list.
    if (found == roots_.end()) found = roots_.insert(roots_.end(), startRoot);
    driveIndex_ = static_cast<int32_t>(found - roots_.begin());

    auto& driveList = Edit(L"aDrive");
    for (const auto& root : roots_) driveList.items.push_back({.text = RootText(root)});
    driveList.selected = driveIndex_;
    // A start folder that cannot be read still shows where the dialog is; any other drive
    // or parent can be chosen from there.
    if (const auto unreadable = GoTo(start)) Show(start, {});
}

std::optional<std::wstring> FolderChooser::GoTo(const std::wstring& folder) {
    const std::wstring path = Normal(folder);
    try {
        files_.CheckVolume(path);
    } catch (const ProwlError& e) {
        return e.message();
    }
    std::vector<DirEntry> entries;
    std::wstring error;
    switch (files_.ListFolder(path, entries, &error)) {
        case ListStatus::Ok:
            break;
        case ListStatus::NotFound:
            return std::wstring(kFolderGone);
        case ListStatus::Failed:
            return error;
    }
    std::vector<std::pair<std::wstring, std::wstring>> sorted;  // (upper case, name)
    for (auto& entry : entries)
        if (entry.IsFolder()) sorted.emplace_back(UpperCase(entry.Name), std::move(entry.Name));
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::wstring> subfolders;
    subfolders.reserve(sorted.size());
    for (auto& entry : sorted) subfolders.push_back(std::move(entry.second));
    Show(path, subfolders);
    return std::nullopt;
}

void FolderChooser::Show(const std::wstring& path, const std::vector<std::wstring>& subfolders) {
    const PathParts parts = Split(path);
    auto& list = Edit(L"aDir");
    list.items.clear();
    entryPaths_.clear();
    // The top of the list reads "C:\" for a drive, as a directory list shows it.
    list.items.push_back({.text = parts.root.size() == 3 ? parts.root : RootText(parts.root)});
    entryPaths_.push_back(parts.root);
    for (const auto& name : parts.names) {
        list.items.push_back({.text = name, .indent = static_cast<int32_t>(entryPaths_.size())});
        entryPaths_.push_back(Join(entryPaths_.back(), name));
    }
    current_ = entryPaths_.back();
    list.selected = static_cast<int32_t>(entryPaths_.size()) - 1;
    const auto depth = static_cast<int32_t>(entryPaths_.size());
    for (const auto& name : subfolders) {
        list.items.push_back({.text = name, .indent = depth});
        entryPaths_.push_back(Join(current_, name));
    }
}

void FolderChooser::TellUnreadable(const std::wstring& path, const std::wstring& reason) {
    CurrentPrompts().ShowMessage({.text = path + L" is not accessible.\n\n" + reason,
                                  .title = kChooserCaption,
                                  .buttons = MsgButtons::Ok,
                                  .icon = MsgIcon::Exclamation});
}

void FolderChooser::OnSelect(const std::wstring& name, int32_t index) {
    if (name == L"aDir") {
        Edit(L"aDir").selected = index;
        return;
    }
    if (name != L"aDrive" || index == driveIndex_) return;
    const std::wstring& root = roots_[static_cast<std::size_t>(index)];
    const std::wstring start = drives_.CurrentFolderOf(root);
    auto reason = GoTo(start);
    // The folder the drive remembers may be gone while the drive itself is fine.
    if (reason && Split(start).root == root && start != root) reason = GoTo(root);
    if (reason) {
        TellUnreadable(root, *reason);
        Edit(L"aDrive").selected = driveIndex_;  // the drive list shows the drive it had
        return;
    }
    driveIndex_ = index;
    Edit(L"aDrive").selected = index;
    Edit(L"cmdOK").enabled = true;
}

void FolderChooser::OnOpen(const std::wstring& name, int32_t index) {
    if (name != L"aDir") return;
    const std::wstring path = entryPaths_[static_cast<std::size_t>(index)];
    if (path == current_) return;
    if (auto reason = GoTo(path)) {
        TellUnreadable(path, *reason);
        GoTo(current_);  // a folder that has gone leaves the list
        return;
    }
    Edit(L"cmdOK").enabled = true;
}

void FolderChooser::OnClick(const std::wstring& name) {
    folder_ = name == L"cmdOK" ? current_ : L"";
    Close();
}

void FolderChooser::OnDismiss() {
    folder_.clear();
    Close();
}

}  // namespace prowl
