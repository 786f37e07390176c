// The project tree at 10,000 and 100,000 records: on the logic with the in-memory tree
// (building it, unticking and ticking the start folder's record), then in the real window
// (drawn and usable, beside a bare loop that puts the same nodes into a plain tree view; the
// same untick and tick). Sizes take turns, so that neither finds its data still in the cache. The
// generated projects show the same 2,002 nodes at both sizes, so the real control's own cost (Wine
// finds item handles by a linear search) is the same in both and the growth is ours.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Measure.h"
#include "model/ProjectState.h"
#include "model/ProwlError.h"
#include "tree/ProjectTreeBuilder.h"
#include "tree/TreeImages.h"
#include "ui/MainWindowLogic.h"
#include "ui/memory/MemoryControls.h"
#include "win32/Images_win.h"
#include "win32/MainWindow_win.h"

using namespace prowl;

namespace {

constexpr int kRuns = 9;  // the machine is shared
constexpr int kTops = 20, kShownTops = 2, kProducts = 10, kFiles = 98;

// A project as a scan of C:\Bench makes it, every item present. K1 and two of its twenty
// folders are expanded, with their ten subfolders each: 2,002 nodes shown. The other
// eighteen folders, collapsed, hold the rest.
class Project {
  public:
    explicit Project(int32_t records) {
        state.SaveFile->StartPath = L"C:\\Bench";
        const int32_t root = Add(0, kNodeFolder, L"C:\\Bench", L"BENCH", true);
        for (int t = 0; t < kTops; ++t) {
            const std::wstring topPath = L"C:\\Bench\\Vendor" + std::to_wstring(t);
            const int32_t top = Add(root, kNodeFolder, topPath, L"VENDOR", t < kShownTops);
            // The last top folder ends exactly at the size asked for.
            const int32_t end = t < kShownTops ? state.DigColl->Count() + kProducts * (kFiles + 1)
                                               : 2001 + (records - 2001) * (t - 1) / (kTops - 2);
            for (int p = 0; state.DigColl->Count() < end; ++p) {
                const std::wstring path = topPath + L"\\Product" + std::to_wstring(p);
                const int32_t product = Add(top, kNodeFolder, path, L"PRODUCT", t < kShownTops);
                for (int f = 0; f < kFiles && state.DigColl->Count() < end; ++f) {
                    const std::wstring name =
                        L"component" + std::to_wstring(f) + (f % 2 ? L".ocx" : L".dll");
                    Add(product, f % 2 ? kNodeOcx : kNodeDll, path + L"\\" + name, name, false);
                }
            }
        }
    }
    ProjectState state;

  private:
    int32_t Add(int32_t parent, const wchar_t* type, const std::wstring& path,
                const std::wstring& text, bool expanded) {
        auto r = std::make_shared<clsObject>(
            clsObject{state.DigColl->Count() + 1, parent, type, path, true,
                      MakeKey(state.DigColl->Count() + 1), text, MakeKey(parent), kFlagOn,
                      expanded ? kFlagOn : kFlagOff});
        state.DigColl->Add(r);
        return r->Index;
    }
};

void Drain(win32::MainWindow& window) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (window.PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    RedrawWindow(window.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// The least a drawn tree can cost: the records read into plain nodes, and the nodes that
// show inserted into a plain tree view with everything they show, drawing held meanwhile.
void Bare(HWND tree, const ItemCollection& items, const std::wstring& rootText) {
    struct Node {
        int32_t parent;
        std::wstring text;
        int image;
        bool checked, expanded;
        HTREEITEM item = nullptr;
    };
    std::vector<Node> nodes{{-1, rootText, 0, true, true}};
    std::unordered_map<std::wstring, int32_t> byKey{{L"K0", 0}};
    const auto& keys = TreeImageKeys();
    for (const auto& r : items) {
        int image = 0;
        while (keys[image] != ChooseImage(*r)) ++image;
        nodes.push_back({byKey.at(r->Reference), r->Text, image, r->Included == kFlagOn,
                         r->Expanded == kFlagOn});
        byKey.emplace(r->Key, static_cast<int32_t>(nodes.size() - 1));
    }
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    TreeView_DeleteAllItems(tree);
    for (auto& n : nodes) {
        const Node* parent = n.parent < 0 ? nullptr : &nodes[n.parent];
        if (parent && (!parent->item || !parent->expanded)) continue;
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent ? parent->item : TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = n.text.data();
        insert.item.state = INDEXTOSTATEIMAGEMASK(n.checked ? 2 : 1) |
                            (n.expanded ? TVIS_EXPANDED : 0) | (n.parent < 0 ? TVIS_BOLD : 0);
        insert.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED | TVIS_BOLD;
        insert.item.iImage = insert.item.iSelectedImage = n.image;
        n.item = TreeView_InsertItem(tree, &insert);
    }
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// The program's view of one project: the logic on in-memory controls, and the real window.
struct Views {
    explicit Views(int32_t records, bool real = true) : project(records) {
        logic.Start();
        logic.ProjectTree().BuildProjectTree(*project.state.DigColl);
        if (!real) return;
        window = win32::MainWindow::Create(GetModuleHandleW(nullptr), project.state, SW_SHOWNORMAL);
        // Side by side: neither covers the other, so both draw alike.
        SetWindowPos(window->Handle(), HWND_TOP, records > 10000 ? 620 : 0, 0, 600, 700,
                     SWP_SHOWWINDOW);
        window->Logic().ProjectTree().BuildProjectTree(*project.state.DigColl);
        Drain(*window);
    }
    // Unticks and ticks K1 as the user's clicks report it.
    static void ToggleTwice(TreeView& tree, ProjectTreeLogic& handlers) {
        for (int i = 0; i < 2; ++i) {
            tree.SetChecked(2, !tree.Checked(2));
            handlers.NodeCheck(2);
        }
    }
    void ToggleInMemory() { ToggleTwice(memory.tree, logic.ProjectTree()); }
    void ToggleInWindow() {
        ToggleTwice(window->Tree(), window->Logic().ProjectTree());
        Drain(*window);
    }
    void BuildInMemory() { logic.ProjectTree().BuildProjectTree(*project.state.DigColl); }
    void BuildInWindow() {
        window->Logic().ProjectTree().BuildProjectTree(*project.state.DigColl);
        Drain(*window);
    }

    Project project;
    MemoryMainWindow memory;
    MainWindowLogic logic{project.state, memory.Controls()};
    std::unique_ptr<win32::MainWindow> window;
};

}  // namespace

int wmain() try {
    bench::InitControls();
    Views small(10000), large(100000);

    // The bare loop draws into a plain tree view laid over the large window's own.
    HWND host = large.window->Handle();
    RECT rc;
    GetWindowRect(large.window->Tree().Handle(), &rc);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rc), 2);
    HWND plain = CreateWindowExW(
        0, WC_TREEVIEWW, L"", WS_CHILD | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, rc.left,
        rc.top, rc.right - rc.left, rc.bottom - rc.top, host, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(plain, GWL_STYLE, GetWindowLongPtrW(plain, GWL_STYLE) | TVS_CHECKBOXES);
    HIMAGELIST images = win32::CreateTreeImageList();
    TreeView_SetImageList(plain, images, TVSIL_NORMAL);
    const ItemCollection& items = *large.project.state.DigColl;
    const std::wstring rootText = RootLabel(large.project.state.SaveFile->StartPath);

    // On the logic, one run at 10,000 records lasts a few milliseconds and one at 100,000 some
    // tens: on a shared machine only the longer one would be interrupted, and only the shorter
    // one would find its data in the cache. So a run at the smaller size works ten projects in
    // turn, each from a cold cache, and counts a tenth of the time.
    std::vector<std::unique_ptr<Views>> ten;
    for (int i = 0; i < 10; ++i) ten.push_back(std::make_unique<Views>(10000, false));
    auto each = [&](void (Views::*action)()) {
        return [&ten, action] {
            for (auto& views : ten) ((*views).*action)();
        };
    };
    auto include = bench::InterleavedMedians(
        {each(&Views::ToggleInMemory), [&] { large.ToggleInMemory(); }}, kRuns);
    auto build = bench::InterleavedMedians(
        {each(&Views::BuildInMemory), [&] { large.BuildInMemory(); }}, kRuns);
    // What the machine itself costs at each size: one write to every record, taken the same way.
    auto flipAll = [](const Views& views) {
        for (const auto& r : *views.project.state.DigColl)
            r->Included = r->Included == kFlagOn ? kFlagOff : kFlagOn;
    };
    auto memory = bench::InterleavedMedians({[&] {
                                                 for (auto& views : ten) flipAll(*views);
                                             },
                                             [&] { flipAll(large); }},
                                            kRuns);
    memory[0] /= 10;
    include[0] /= 10;
    build[0] /= 10;
    const auto drawn = bench::InterleavedMedians({[&] { small.BuildInWindow(); },
                                                  [&] {
                                                      ShowWindow(plain, SW_HIDE);
                                                      large.BuildInWindow();
                                                  },
                                                  [&] {
                                                      ShowWindow(plain, SW_SHOW);
                                                      Bare(plain, items, rootText);
                                                  }},
                                                 kRuns);
    large.BuildInWindow();
    const auto shown = TreeView_GetCount(large.window->Tree().Handle());
    if (shown != TreeView_GetCount(plain) || shown != 2002)
        std::printf("warning: %u nodes shown, the bare loop %u\n", shown, TreeView_GetCount(plain));
    DestroyWindow(plain);
    const auto realInclude = bench::InterleavedMedians(
        {[&] { small.ToggleInWindow(); }, [&] { large.ToggleInWindow(); }}, kRuns);
    ImageList_Destroy(images);

    std::printf("median of %d runs after one warm-up, ms         10,000    100,000\n", kRuns);
    const struct {
        const char* what;
        double small, large;
    } rows[] = {{"untick and tick K1 (in-memory tree)", include[0], include[1]},
                {"build the tree (in-memory tree)", build[0], build[1]},
                {"drawn and usable (real window)", drawn[0], drawn[1]},
                {"bare loop into a plain tree view", 0.0, drawn[2]},
                {"untick and tick K1 (real window)", realInclude[0], realInclude[1]},
                {"memory: one write to every record", memory[0], memory[1]}};
    for (const auto& r : rows)
        std::printf("%-42s %10.2f %10.2f\n", r.what, r.small * 1e3, r.large * 1e3);
    std::printf("(the machine's own growth for ten times the records: %.2f)\n",
                memory[1] / memory[0]);
    std::printf("tree/include-growth10x: %.2f\n", include[1] / include[0]);
    std::printf("tree/build-growth10x: %.2f\n", build[1] / build[0]);
    std::printf("tree/build-vs-bare: %.2f\n", drawn[1] / drawn[2]);
    std::printf("tree/real-include-growth10x: %.2f\n", realInclude[1] / realInclude[0]);
    return 0;
} catch (const ProwlError& e) {
    std::fprintf(stderr, "bench_tree: %ls\n", e.message().c_str());
    return 1;
}
