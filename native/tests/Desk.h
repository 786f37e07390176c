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
    // A folder dropped on the window: New at that start path. true when it found components.
    bool Scan(const std::wstring& start) {
        window.prompts.messageAnswers.assign(2, MsgAnswer::No);
        logic.OnDropFiles({start});
        return logic.Button(kButtonSave).enabled;
    }
    int32_t NodeOf(const std::wstring& text) {
        for (int32_t n = 2; n <= window.tree.Count(); ++n)
            if (window.tree.Record(n)->Text == text) return n;
        return 0;
    }
    // Register Me on the node with that label: every launch as "command line|working folder",
    // each exiting with the code given.
    std::vector<std::wstring> Register(const std::wstring& text, uint32_t exitCode) {
        std::vector<std::wstring> starts;
        launcher.onStart = [&](const std::wstring& start) {
            launcher.scripts[start].code = exitCode;
            starts.push_back(start.substr(start.find(L'|') + 1));
        };
        window.prompts.messageAnswers.assign(4, MsgAnswer::Ok);
        window.tree.UserClick(NodeOf(text));
        logic.OnMenuClick(L"mnuMe_Reg");
        return starts;
    }
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
