#include "tree/ProjectTreeBuilder.h"

#include <string_view>
#include <unordered_map>
#include <vector>

#include "tree/TreeImages.h"

namespace prowl {

std::wstring RootLabel(const std::wstring& startPath) {
    return L"Active X Controls (" + startPath + L")";
}

void BuildProjectTree(TreeView& tree, const ItemCollection& items, const std::wstring& startPath) {
    tree.Clear();
    const int32_t root = tree.Add(L"", kRootKey, RootLabel(startPath));
    tree.SetBold(root, true);
    tree.SetExpanded(root, true);
    tree.SetChecked(root, true);
    tree.SetImage(root, kImageFolder);

    // Where each record hangs, decided in collection order: the parent must come earlier,
    // so no reference can loop. kUnderRoot also stands for the root node itself.
    constexpr int32_t kUnderRoot = -1;
    constexpr int32_t kOrphan = -2;
    const auto count = static_cast<std::size_t>(items.Count());
    std::unordered_map<std::wstring_view, int32_t> firstWithKey{{kRootKey, kUnderRoot}};
    std::vector<int32_t> parent(count);
    std::vector<char> keyed(count), attached(count);  // attached: its chain reaches the root
    for (std::size_t i = 0; i < count; ++i) {
        const clsObject& r = *items.Item(static_cast<int32_t>(i + 1));
        const auto it = firstWithKey.find(r.Reference);
        parent[i] = it == firstWithKey.end() ? kOrphan : it->second;
        attached[i] = parent[i] == kUnderRoot ||
                      (parent[i] >= 0 && attached[static_cast<std::size_t>(parent[i])]);
        keyed[i] = !r.Key.empty() && firstWithKey.emplace(r.Key, static_cast<int32_t>(i)).second;
    }

    // open[node]: the node and all its ancestors are expanded, so revealing anything
    // beneath it stops there; each node opens once, however many missing items it holds.
    std::vector<char> open{0, 1};
    int32_t lastMissing = 0;
    auto addNode = [&](std::size_t i) {
        const ObjectRef& r = items.Item(static_cast<int32_t>(i + 1));
        const std::wstring& relative =
            parent[i] >= 0 ? items.Item(parent[i] + 1)->Key : std::wstring(kRootKey);
        const int32_t node = tree.Add(relative, keyed[i] ? r->Key : std::wstring(), r->Text);
        open.push_back(0);
        tree.SetRecord(node, r);
        const std::wstring image = ChooseImage(*r);
        if (!image.empty()) {
            tree.SetImage(node, image);
            if (!r->Exists) {
                for (int32_t p = tree.Parent(node); p != 0 && !open[p]; p = tree.Parent(p)) {
                    tree.SetExpanded(p, true);
                    open[p] = 1;
                }
                lastMissing = node;
            }
        }
        tree.SetChecked(node, r->Included == kFlagOn);
        tree.SetExpanded(node, r->Expanded == kFlagOn);
    };
    for (std::size_t i = 0; i < count; ++i)
        if (attached[i]) addNode(i);
    for (std::size_t i = 0; i < count; ++i)
        if (!attached[i]) addNode(i);
    if (lastMissing != 0) tree.EnsureVisible(lastMissing);
}

void RefreshNodeChecks(TreeView& tree) {
    for (int32_t node = 1, n = tree.Count(); node <= n; ++node) {
        const ObjectRef r = tree.Record(node);
        if (!r) continue;
        const bool checked = r->Included == kFlagOn;
        if (tree.Checked(node) != checked) tree.SetChecked(node, checked);
    }
}

}  // namespace prowl
