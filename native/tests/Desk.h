#pragma once
#include "tree/ProjectTreeBuilder.h"
#include "ui/MemoryProgram.h"

namespace prowl::test {

// The project as its file holds it: the start path, then each record's fields.
inline std::vector<std::wstring> RowsOf(const ProjectState& state) {
    std::vector<std::wstring> rows{state.SaveFile->StartPath};
    for (const auto& r : *state.DigColl)
        rows.push_back(std::to_wstring(r->Index) + L"|" + std::to_wstring(r->ParentIndex) + L"|" +
                       r->NodeType + L"|" + r->Path + L"|" + r->Key + L"|" + r->Text + L"|" +
                       r->Reference + L"|" + r->Included + L"|" + r->Expanded);
    return rows;
}

// The program in memory, and what the random runs and fuzz targets do through it.
struct Desk : MemoryProgram {
    // 0 when the tree is what the builder draws from the records, node for node below the
    // root (whose box and label belong to no record); else the first node that differs.
    int32_t Unmirrored() const {
        const MemoryTreeView& tree = window.tree;
        if (state.DigColl->empty() && state.SaveFile->StartPath.empty()) return tree.Count() > 1;
        MemoryTreeView fresh;
        DrawnProject drawn;
        BuildProjectTree(fresh, *state.DigColl, state.SaveFile->StartPath, drawn);
        auto node = [](const MemoryTreeView& t, int32_t n) {
            return t.Text(n) + L"|" + t.Key(n) + L"|" + std::to_wstring(t.Parent(n)) +
                   (t.Checked(n) ? L"|x|" : L"|-|") + t.Image(n);
        };
        if (tree.Count() != fresh.Count()) return 1;
        for (int32_t n = 2; n <= fresh.Count(); ++n)
            if (node(tree, n) != node(fresh, n) || tree.Record(n) != fresh.Record(n)) return n;
        return 0;
    }
};

}  // namespace prowl::test
