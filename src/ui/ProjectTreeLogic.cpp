#include "ui/ProjectTreeLogic.h"

#include "tree/ProjectTreeBuilder.h"
#include "tree/RecordOperations.h"
#include "ui/MainWindowLogic.h"

namespace prowl {
namespace {

// A label is written unescaped into its line of the project file: one of these would make
// the line unreadable and drop the item, orphaning everything beneath it.
bool FitsProjectFile(const std::wstring& text) {
    return text.find_first_of(std::wstring(L"\t\r\n\0", 4)) == std::wstring::npos;
}

}  // namespace

ProjectTreeLogic::ProjectTreeLogic(MainWindowLogic& window, ProjectState& state, TreeView& tree,
                                   FileSystem& files)
    : window_(window), state_(state), tree_(tree), files_(files) {}

void ProjectTreeLogic::BuildProjectTree(const ItemCollection& items) {
    ResetSelection();
    prowl::BuildProjectTree(tree_, items, state_.SaveFile->StartPath, drawn_);
}

void ProjectTreeLogic::ClearProjectTree() {
    ResetSelection();
    drawn_ = DrawnProject();
    tree_.Clear();
}

ObjectRef ProjectTreeLogic::SelectedRecord() const {
    return selected_ > 0 && selected_ <= tree_.Count() ? tree_.Record(selected_) : nullptr;
}

void ProjectTreeLogic::ResetSelection() {
    selected_ = 0;
    window_.SetFilePath(L"");
    window_.EnableFileDetails(false);
    SetRegistrationItems(false, false);
    SetEditItems();
}

void ProjectTreeLogic::SetRegistrationItems(bool file, bool group) {
    window_.SetMenuItemEnabled(L"mnuMe_Reg", file);
    window_.SetMenuItemEnabled(L"mnuMe_Unreg", file);
    window_.SetMenuItemEnabled(L"mnuGroup_Reg", group);
    window_.SetMenuItemEnabled(L"mnuGroup_Unreg", group);
}

bool ProjectTreeLogic::ScanRunning() const {
    return state_.ProcessMode == kProcessNewScan || state_.ProcessMode == kProcessRescan;
}

// Each handler runs as a command: a failure is reported and leaves nothing half set, and the
// pointer goes back to what the window showed before (a group run's, if one is under way).
void ProjectTreeLogic::NodeClick(int32_t node) {
    window_.RunCommand([&] {
        selected_ = node;
        const ObjectRef record = tree_.Record(node);
        bool found = false;
        window_.SetFilePath(GetItemFilePath(record.get(), files_, found));
        window_.EnableFileDetails(found);
        const std::wstring type = record ? record->NodeType : L"";
        SetRegistrationItems(type == kNodeDll || type == kNodeOcx, type == kNodeFolder);
        SetEditItems();
    });
}

void ProjectTreeLogic::NodeCheck(int32_t node) {
    window_.RunCommand([&] {
        if (ScanRunning()) {
            tree_.SetChecked(node, !tree_.Checked(node));
            return;
        }
        window_.SetPointer(kPointerHourglass);
        const std::wstring value = tree_.Checked(node) ? kFlagOn : kFlagOff;
        const ObjectRef record = tree_.Record(node);
        // The root has no record: its tick changes nothing but still counts as a change.
        if (record && value == record->Included) return;
        if (record)
            prowl::RefreshNodeChecks(tree_, drawn_,
                                     SetItemIncluded(state_, drawn_.index, *record, value), value);
        window_.EnableSave(true);
    });
}

void ProjectTreeLogic::StoreExpanded(int32_t node) {
    window_.RunCommand([&] {
        if (ScanRunning()) return;
        if (const ObjectRef record = tree_.Record(node))
            SetItemExpanded(state_, *record, tree_.Expanded(node) ? kFlagOn : kFlagOff);
        window_.EnableSave(true);
        window_.SetFilePath(L"");
    });
}

bool ProjectTreeLogic::AfterLabelEdit(int32_t node, bool cancelled, const std::wstring& newText) {
    bool kept = false;
    window_.RunCommand([&] {
        if (cancelled || ScanRunning() || !FitsProjectFile(newText)) return;
        if (const ObjectRef record = tree_.Record(node)) SetItemText(state_, *record, newText);
        window_.EnableSave(true);
        kept = true;
    });
    return kept;
}

void ProjectTreeLogic::MouseUp(int32_t button, int32_t, int32_t x, int32_t y) {
    window_.RunCommand([&] {
        if (button == kMouseRight) ShowPopup(x, y);
    });
}

std::optional<TreeKey> TreeKeyFor(uint32_t virtualKey, bool ctrl, bool shift, bool alt) {
    if (alt) return std::nullopt;
    if ((virtualKey == kKeyF10 && shift && !ctrl) || (virtualKey == kKeyApps && !shift && !ctrl))
        return TreeKey::Popup;
    if (shift) return std::nullopt;
    if (ctrl) return virtualKey == kKeyC ? std::optional(TreeKey::CopyPath) : std::nullopt;
    if (virtualKey == kKeyF2) return TreeKey::Rename;
    if (virtualKey == kKeyEnter) return TreeKey::Open;
    return std::nullopt;
}

void ProjectTreeLogic::SetKeyboard(TreeGestures* gestures, Clipboard* clipboard) {
    gestures_ = gestures;
    clipboard_ = clipboard;
}

// A record's label is its own; the root's is made from the start path at every drawing, so
// renaming it would keep nothing.
bool ProjectTreeLogic::CanRename() const { return SelectedRecord() && !ScanRunning(); }

std::wstring ProjectTreeLogic::SelectedPath() const {
    if (const ObjectRef record = SelectedRecord()) return record->Path;
    return selected_ > 0 && selected_ <= tree_.Count() ? state_.SaveFile->StartPath : L"";
}

void ProjectTreeLogic::SetEditItems() {
    window_.SetMenuItemEnabled(L"mnuTreeRename", CanRename());
    window_.SetMenuItemEnabled(L"mnuTreeCopyPath", !SelectedPath().empty());
}

void ProjectTreeLogic::ShowPopup(int32_t x, int32_t y) {
    SetEditItems();  // a scan may have begun or ended since the node was clicked
    window_.Controls().commands.ShowPopupMenu(L"mnuTree", x, y);
}

bool ProjectTreeLogic::OnKey(TreeKey key, bool fromPopup) {
    const bool nodeSelected = selected_ > 0 && selected_ <= tree_.Count();
    switch (key) {
        case TreeKey::Rename:
            if (gestures_ && nodeSelected && (!fromPopup || CanRename()))
                gestures_->BeginLabelEdit(selected_);
            return true;
        case TreeKey::CopyPath:
            window_.RunCommand([&] {
                const std::wstring path = SelectedPath();
                if (clipboard_ && !path.empty()) clipboard_->SetText(path);
            });
            return true;
        case TreeKey::Popup:
            window_.RunCommand([&] {
                int32_t x = 0, y = 0;
                if (gestures_ && nodeSelected) gestures_->NodeAnchor(selected_, x, y);
                ShowPopup(x, y);
            });
            return true;
        case TreeKey::Open: {
            const ObjectRef record = SelectedRecord();
            if (!record || (record->NodeType != kNodeDll && record->NodeType != kNodeOcx))
                return false;
            window_.OnMenuClick(L"mnuTreeDetails");
            return true;
        }
    }
    return false;
}

}  // namespace prowl
