#pragma once
// The real label editor, node places and clipboard behind the project tree's keys.
#include <windows.h>

#include "ui/TreeKeys.h"
#include "win32/TreeView_win.h"

namespace prowl::win32 {

class Win32TreeGestures final : public TreeGestures {
  public:
    explicit Win32TreeGestures(Win32TreeView& tree) : tree_(tree) {}
    void BeginLabelEdit(int32_t node) override;
    // Just below the label's left end, where a keyboard user's eyes are.
    void NodeAnchor(int32_t node, int32_t& x, int32_t& y) const override;

  private:
    Win32TreeView& tree_;
};

class Win32Clipboard final : public Clipboard {
  public:
    explicit Win32Clipboard(HWND owner) : owner_(owner) {}
    void SetText(const std::wstring& text) override;

  private:
    HWND owner_;
};

}  // namespace prowl::win32
