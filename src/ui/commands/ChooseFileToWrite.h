#pragma once
// The Save dialog as the project and the report both use it: it comes back until the user
// picks a name that is free or agrees to replace the file there, because the dialog's own
// overwrite prompt is off and the question must be ours.

#include <functional>
#include <optional>
#include <string>

#include "model/FileSystem.h"
#include "ui/MainWindowLogic.h"

namespace prowl {

// Empty when the user gave up: a cancelled or failed dialog (onDialogFailed hears of the
// latter), or a replace question answered with anything but Yes or No.
inline std::optional<std::wstring> ChooseFileToWrite(
    MainWindowLogic& window, FileSystem& files, FileDialogRequest request,
    const wchar_t* replaceTitle, const std::function<void()>& onDialogFailed = nullptr) {
    for (;;) {
        const FileDialogResult chosen = window.Controls().prompts.ShowFileDialog(request);
        if (chosen.outcome == FileDialogResult::Outcome::Failed && onDialogFailed) onDialogFailed();
        if (chosen.outcome != FileDialogResult::Outcome::Chosen) return std::nullopt;
        if (!files.FileExists(chosen.fileName)) return chosen.fileName;
        MessageBoxRequest replace;
        replace.text = L"File " + chosen.fileName + L" already exists.  Replace this file?";
        replace.title = replaceTitle;
        replace.buttons = MsgButtons::YesNo;
        const MsgAnswer answer = window.Ask(replace);
        if (answer == MsgAnswer::Yes) return chosen.fileName;
        if (answer != MsgAnswer::No) return std::nullopt;
        request.initialFileName = chosen.fileName;  // the dialog comes back where the user was
    }
}

}  // namespace prowl
