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

class PointerScope {
  public:
    PointerScope(MainWindowLogic& window, int32_t pointer)
        : window_(window), previous_(window.Pointer()) {
        window_.SetPointer(pointer);
    }
    // Back to what it was: a tick made while a group registration runs leaves its pointer.
    ~PointerScope() { window_.SetPointer(previous_); }
    PointerScope(const PointerScope&) = delete;
    PointerScope& operator=(const PointerScope&) = delete;

  private:
    MainWindowLogic& window_;
    int32_t previous_;
};

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

void ProjectTreeLogic::NodeClick(int32_t node) {
    selected_ = node;
    const ObjectRef record = tree_.Record(node);
    bool found = false;
    window_.SetFilePath(GetItemFilePath(record.get(), files_, found));
    window_.EnableFileDetails(found);
    const std::wstring type = record ? record->NodeType : L"";
    SetRegistrationItems(type == kNodeDll || type == kNodeOcx, type == kNodeFolder);
}

void ProjectTreeLogic::NodeCheck(int32_t node) {
    if (ScanRunning()) {
        tree_.SetChecked(node, !tree_.Checked(node));
        return;
    }
    PointerScope hourglass(window_, kPointerHourglass);
    const std::wstring value = tree_.Checked(node) ? kFlagOn : kFlagOff;
    const ObjectRef record = tree_.Record(node);
    // The root has no record: its tick changes nothing but still counts as a change.
    if (record && value == record->Included) return;
    if (record)
        prowl::RefreshNodeChecks(tree_, drawn_,
                                 SetItemIncluded(state_, drawn_.index, *record, value), value);
    window_.EnableSave(true);
}

void ProjectTreeLogic::StoreExpanded(int32_t node) {
    if (ScanRunning()) return;
    if (const ObjectRef record = tree_.Record(node))
        SetItemExpanded(state_, *record, tree_.Expanded(node) ? kFlagOn : kFlagOff);
    window_.EnableSave(true);
    window_.SetFilePath(L"");
}

bool ProjectTreeLogic::AfterLabelEdit(int32_t node, bool cancelled, const std::wstring& newText) {
    if (cancelled || ScanRunning() || !FitsProjectFile(newText)) return false;
    if (const ObjectRef record = tree_.Record(node)) SetItemText(state_, *record, newText);
    window_.EnableSave(true);
    return true;
}

void ProjectTreeLogic::MouseUp(int32_t button, int32_t, int32_t x, int32_t y) {
    if (button == kMouseRight) window_.Controls().commands.ShowPopupMenu(L"mnuTree", x, y);
}

}  // namespace prowl
