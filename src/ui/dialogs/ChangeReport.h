#pragma once
// frmRedigExcluded: after a re-scan, the records the disk lost and the ones it gained, each
// list flat, in collection order. It only reports; neither collection changes.

#include <string>
#include <vector>

#include "model/ItemCollection.h"
#include "scan/CarryOver.h"
#include "ui/dialogs/ModalDialog.h"

namespace prowl {

class ChangeReport final : public ModalDialog {
  public:
    ChangeReport();

    // Compares by Path alone, exactly and case-sensitively, and fills both lists.
    void Init(const ItemCollection& PreDigColl, const ItemCollection& DigColl);
    // The same from a comparison the caller already made (the re-scan's carry-over).
    void Init(PathChanges changes);
    // true when either list holds a node: only then is the dialog shown.
    bool ShouldShow() const;

    // The records themselves, shared with the collections they came from.
    const std::vector<ObjectRef>& RemovedColl() const { return removed_; }
    const std::vector<ObjectRef>& AddedColl() const { return added_; }

  private:
    void FillTrees();
    void OnClick(const std::wstring& name) override;

    std::vector<ObjectRef> removed_;
    std::vector<ObjectRef> added_;
};

}  // namespace prowl
