#pragma once
// Message boxes and the common file dialogs, owned by the main window.
#include <windows.h>

#include <string>

#include "ui/Prompts.h"

namespace prowl::win32 {

class Win32Prompts final : public Prompts {
  public:
    explicit Win32Prompts(HWND owner) : owner_(owner) {}
    MsgAnswer ShowMessage(const MessageBoxRequest& request) override;
    FileDialogResult ShowFileDialog(const FileDialogRequest& request) override;

  private:
    HWND owner_;
    std::wstring lastFileName_;
};

}  // namespace prowl::win32
