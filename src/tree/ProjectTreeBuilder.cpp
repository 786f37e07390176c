#include "tree/ProjectTreeBuilder.h"

#include <vector>

#include "tree/TreeImages.h"

namespace prowl {

std::wstring RootLabel(const std::wstring& startPath) {
    return L"Active X Controls (" + startPath + L")";
}

void BuildProjectTree(TreeView& tree, const ItemCollection& items, const std::wstring& startPath,
                      DrawnProject& drawn) {
    tree.Clear();
    const int32_t root = tree.Add(L"", kRootKey, RootLabel(startPath));
    tree.SetBold(root, true);
    tree.SetExpanded(root, true);
    tree.SetChecked(root, true);
    tree.SetImage(root, kImageFolder);

    // A record hangs under the first record with its Reference as Key when that one comes
    // earlier, so that no reference can loop; else under the root, after all the others.
    constexpr int32_t kUnderRoot = -2;
    constexpr int32_t kOrphan = -1;
    const ReferenceIndex& index = drawn.index;
    drawn.index.Rebuild(items);
    auto parentOf = [&](int32_t i) {
        if (index.RefersToProject(i)) return kUnderRoot;
        const int32_t first = index.FirstReferenced(i);
        return first >= 0 && first < i ? first : kOrphan;
    };
    const int32_t count = items.Count();
    drawn.attached.assign(static_cast<std::size_t>(count), 0);  // its chain reaches the root
    for (int32_t i = 0; i < count; ++i) {
        const int32_t parent = parentOf(i);
        drawn.attached[i] = parent == kUnderRoot || (parent >= 0 && drawn.attached[parent]);
    }

    // open[node]: the node and all its ancestors are expanded, so revealing anything
    // beneath it stops there; each node opens once, however many missing items it holds.
    drawn.open.assign({0, 1});
    drawn.nodeOf.resize(static_cast<std::size_t>(count));
    int32_t lastMissing = 0;
    const std::wstring rootKey(kRootKey), noKey;  // referred to, not copied for every node
    auto addNode = [&](int32_t i) {
        const ObjectRef& r = items.Item(i + 1);
        const int32_t parent = parentOf(i);
        const bool keyed = index.FirstWithItsKey(i) && !index.KeyIsProjectKey(i);
        const int32_t node = tree.Add(parent >= 0 ? items.Item(parent + 1)->Key : rootKey,
                                      keyed ? r->Key : noKey, r->Text);
        drawn.nodeOf[i] = node;
        drawn.open.push_back(0);
        tree.SetRecord(node, r);
        const std::wstring image = ChooseImage(*r);
        if (!image.empty()) {
            tree.SetImage(node, image);
            if (!r->Exists) {
                for (int32_t p = tree.Parent(node); p != 0 && !drawn.open[p]; p = tree.Parent(p)) {
                    tree.SetExpanded(p, true);
                    drawn.open[p] = 1;
                }
                lastMissing = node;
            }
        }
        tree.SetChecked(node, r->Included == kFlagOn);
        tree.SetExpanded(node, r->Expanded == kFlagOn);
    };
    for (int32_t i = 0; i < count; ++i)
        if (drawn.attached[i]) addNode(i);
    for (int32_t i = 0; i < count; ++i)
        if (!drawn.attached[i]) addNode(i);
    if (lastMissing != 0) tree.EnsureVisible(lastMissing);
}

void RefreshNodeChecks(TreeView& tree, const DrawnProject& drawn,
                       const std::vector<int32_t>& positions, const std::wstring& included) {
    const bool checked = included == kFlagOn;
    for (int32_t p : positions) {
        const int32_t node = drawn.nodeOf[static_cast<std::size_t>(p)];
        if (tree.Checked(node) != checked) tree.SetChecked(node, checked);
    }
}

}  // namespace prowl
