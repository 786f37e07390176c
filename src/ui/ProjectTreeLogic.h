#pragma once
// The project tree's part of the main window: it draws the project, takes the tree's events
// and keeps the selection (the node chosen last, its path in txtFilePath, the popup's
// states). Every handler acts on the record of the node concerned, never on "the record at
// some position", so duplicate keys or indexes that differ from positions cannot make an
// action land on another record than the one the user touched.
//
// While a scan or re-scan runs, the tree shows records the scan is about to replace: it
// takes no edits then (a toggled box springs back, a label edit is refused, an expansion is
// shown but not stored).

#include <cstdint>
#include <string>

#include "model/FileSystem.h"
#include "model/ProjectState.h"
#include "tree/ProjectTreeBuilder.h"
#include "tree/TreeView.h"
#include "ui/TreeKeys.h"

namespace prowl {

class MainWindowLogic;

class ProjectTreeLogic final : public TreeViewEvents {
  public:
    ProjectTreeLogic(MainWindowLogic& window, ProjectState& state, TreeView& tree,
                     FileSystem& files);

    // Both drop the selection, so no command can act on a node of the previous tree.
    void BuildProjectTree(const ItemCollection& items);  // under SaveFile's StartPath
    void ClearProjectTree();

    int32_t SelectedNodeIndex() const { return selected_; }
    // The selected node's record; null while none is selected or the root is.
    ObjectRef SelectedRecord() const;

    void NodeClick(int32_t node) override;
    void NodeCheck(int32_t node) override;
    void Expand(int32_t node) override { StoreExpanded(node); }
    void Collapse(int32_t node) override { StoreExpanded(node); }
    bool AfterLabelEdit(int32_t node, bool cancelled, const std::wstring& newText) override;
    void MouseUp(int32_t button, int32_t shift, int32_t x, int32_t y) override;

    // What the keys need from the window; until set, Rename and Copy Path do nothing and the
    // popup opens at the tree's corner.
    void SetKeyboard(TreeGestures* gestures, Clipboard* clipboard);
    // A key pressed in the tree, or (fromPopup) the popup's item that does the same. false:
    // the key is not the program's here (Enter on a folder), so the control takes it as usual.
    // F2 opens any node's label, as the control's own key did (an edit during a scan is
    // refused when it ends); the popup offers Rename only where the edit could be kept.
    bool OnKey(TreeKey key, bool fromPopup = false);

  private:
    void ResetSelection();
    void SetRegistrationItems(bool file, bool group);
    void StoreExpanded(int32_t node);
    bool ScanRunning() const;
    bool CanRename() const;
    std::wstring SelectedPath() const;  // "" when nothing is selected
    void SetEditItems();
    void ShowPopup(int32_t x, int32_t y);

    MainWindowLogic& window_;
    ProjectState& state_;
    TreeView& tree_;
    FileSystem& files_;
    int32_t selected_ = 0;
    TreeGestures* gestures_ = nullptr;
    Clipboard* clipboard_ = nullptr;
    DrawnProject drawn_;  // its records live in the tree's nodes
};

}  // namespace prowl
