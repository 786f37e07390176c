#include "ui/dialogs/ChangeReport.h"

#include <string_view>
#include <unordered_set>

namespace prowl {
namespace {

// The plain pictures only: a record that was already missing is still a folder or a file.
std::wstring ImageFor(const std::wstring& nodeType) {
    if (nodeType == kNodeFolder) return L"A";
    if (nodeType == kNodeDll) return L"B";
    if (nodeType == kNodeOcx) return L"C";
    return L"";
}

void Fill(DialogControl& list, const std::vector<ObjectRef>& records) {
    list.items.clear();
    list.items.reserve(records.size());
    // A key repeated by a hand-edited project file would clash in the tree; the record is
    // listed all the same, as a node without a key.
    std::unordered_set<std::wstring_view> keys;
    for (const auto& record : records) {
        const bool first = keys.insert(record->Key).second;
        list.items.push_back({.text = record->Path,
                              .key = first ? record->Key : std::wstring(),
                              .image = ImageFor(record->NodeType)});
    }
}

}  // namespace

ChangeReport::ChangeReport()
    : ModalDialog(L"frmRedigExcluded", L"Objects Added / Removed During Re-Prowl Process") {
    Add({.name = L"Label4",
         .text = L"The objects shown in the list, below, were added during the re-prowl "
                 L"process.  These objects now exist under the project's start path.  If you "
                 L"do not wish to include these objects in your project, then do not save the "
                 L"changes to the project.  Press OK to return to the project."});
    Add({.name = L"Label3",
         .kind = ControlKind::CaptionLabel,
         .text = L"Obejcts Added to Project"});
    Add({.name = L"TVAdded", .kind = ControlKind::TreeList, .lines = 8});
    Add({.name = L"Picture1", .kind = ControlKind::Separator});
    Add({.name = L"Label1",
         .text = L"The objects shown in the list, below, were removed during the re-prowl "
                 L"process.  These objects no longer exist under the project's start path.  "
                 L"If you do not wish to exclude these objects from your project, then do not "
                 L"save the changes to the project.  Press OK to return to the project."});
    Add({.name = L"Label2",
         .kind = ControlKind::CaptionLabel,
         .text = L"Obejcts Removed from Project"});
    Add({.name = L"TVRemoved", .kind = ControlKind::TreeList, .lines = 8});
    Add({.name = L"cmdOK", .kind = ControlKind::Button, .text = L"&OK", .isDefault = true});
}

void ChangeReport::Init(const ItemCollection& PreDigColl, const ItemCollection& DigColl) {
    Init(ComparePaths(PreDigColl, DigColl));
}

void ChangeReport::Init(PathChanges changes) {
    removed_ = std::move(changes.removed);
    added_ = std::move(changes.added);
    FillTrees();
}

void ChangeReport::FillTrees() {
    Fill(Edit(L"TVRemoved"), removed_);
    Fill(Edit(L"TVAdded"), added_);
}

bool ChangeReport::ShouldShow() const {
    return !Control(L"TVAdded").items.empty() || !Control(L"TVRemoved").items.empty();
}

void ChangeReport::OnClick(const std::wstring&) { Close(); }

}  // namespace prowl
