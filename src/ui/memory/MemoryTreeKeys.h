#pragma once
// In-memory label editor, node places and clipboard for the project tree's keys.

#include <string>
#include <vector>

#include "model/ProwlError.h"
#include "ui/TreeKeys.h"

namespace prowl {

class MemoryTreeGestures : public TreeGestures {
  public:
    void BeginLabelEdit(int32_t node) override { edits.push_back(node); }
    // Rows of equal height, labels indented by 10.
    void NodeAnchor(int32_t node, int32_t& x, int32_t& y) const override {
        x = 10;
        y = node * 20;
    }
    std::vector<int32_t> edits;
};

class MemoryClipboard : public Clipboard {
  public:
    void SetText(const std::wstring& value) override {
        if (held) throw ProwlError(L"The clipboard is held by another program.");
        text = value;
    }
    std::wstring text;
    bool held = false;
};

}  // namespace prowl
