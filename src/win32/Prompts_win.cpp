#include "win32/Prompts_win.h"

#include <commdlg.h>

#include <algorithm>

namespace prowl::win32 {

MsgAnswer Win32Prompts::ShowMessage(const MessageBoxRequest& request) {
    UINT flags = 0;
    int buttons = 1;
    switch (request.buttons) {
        case MsgButtons::Ok:
            flags |= MB_OK;
            break;
        case MsgButtons::OkCancel:
            flags |= MB_OKCANCEL;
            buttons = 2;
            break;
        case MsgButtons::YesNo:
            flags |= MB_YESNO;
            buttons = 2;
            break;
        case MsgButtons::YesNoCancel:
            flags |= MB_YESNOCANCEL;
            buttons = 3;
            break;
    }
    switch (request.icon) {
        case MsgIcon::None:
            break;
        case MsgIcon::Critical:
            flags |= MB_ICONERROR;
            break;
        case MsgIcon::Question:
            flags |= MB_ICONQUESTION;
            break;
        case MsgIcon::Exclamation:
            flags |= MB_ICONWARNING;
            break;
        case MsgIcon::Information:
            flags |= MB_ICONINFORMATION;
            break;
    }
    if (request.defaultButton == 2 && buttons >= 2) flags |= MB_DEFBUTTON2;
    if (request.defaultButton == 3 && buttons >= 3) flags |= MB_DEFBUTTON3;
    switch (MessageBoxW(owner_, request.text.c_str(), request.title.c_str(), flags)) {
        case IDYES:
            return MsgAnswer::Yes;
        case IDNO:
            return MsgAnswer::No;
        case IDCANCEL:
            return MsgAnswer::Cancel;
        case IDOK:
            return MsgAnswer::Ok;
        default:
            // 0 on Windows, -1 under Wine: no box, no answer.
            return MsgAnswer::NotShown;
    }
}

FileDialogResult Win32Prompts::ShowFileDialog(const FileDialogRequest& request) {
    // The dialog wants "description\0pattern\0...\0\0".
    std::wstring filter = request.filter;
    for (auto& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    filter.push_back(L'\0');

    std::wstring name = request.initialFileName.value_or(lastFileName_);
    name.resize(std::max<size_t>(name.size() + 1, 32768), L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    BOOL chosen;
    if (request.kind == FileDialogKind::Open) {
        ofn.Flags |= OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameW(&ofn);
    } else {
        chosen = GetSaveFileNameW(&ofn);
    }
    FileDialogResult result;
    if (!chosen) {
        result.outcome = CommDlgExtendedError() == 0 ? FileDialogResult::Outcome::Cancelled
                                                     : FileDialogResult::Outcome::Failed;
        return result;
    }
    result.outcome = FileDialogResult::Outcome::Chosen;
    result.fileName = name.c_str();
    lastFileName_ = result.fileName;
    return result;
}

}  // namespace prowl::win32
