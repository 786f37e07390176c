#pragma once
// The tree view interface on a real SysTreeView32 control, filled lazily: the complete tree
// lives in a model, and a node enters the control only once its parent is expanded (or it is
// a top-level node). Wine's control checks every item handle by a linear search, so a
// control holding every node of a large project would make each call slower than the last.
#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "tree/MemoryTreeView.h"
#include "tree/TreeView.h"

namespace prowl::win32 {

struct TreeViewOptions {
    bool checkBoxes = false;
    bool editLabels = false;
};

class Win32TreeView final : public TreeView {
  public:
    // Makes the control as a child of parent. The image list stays the caller's; its images
    // are addressed by imageKeys, in list order.
    Win32TreeView(HWND parent, int controlId, HIMAGELIST images,
                  std::vector<std::wstring> imageKeys, TreeViewOptions options);
    ~Win32TreeView() override;
    Win32TreeView(const Win32TreeView&) = delete;
    Win32TreeView& operator=(const Win32TreeView&) = delete;

    HWND Handle() const { return hwnd_; }
    // Null while the node is not in the control (an ancestor was never expanded, or it
    // was added since the window last processed its messages).
    HTREEITEM ItemHandle(int32_t node) const;
    // Enters the nodes added since then, and answers the node's item.
    HTREEITEM ShownItem(int32_t node);

    // The parent hands on every WM_NOTIFY from this control. Returns true when the
    // notification was taken, with the value the parent must return in result.
    bool OnNotify(const NMHDR& header, LRESULT& result);

    void Clear() override;
    int32_t Add(const std::wstring& relativeKey, const std::wstring& key,
                const std::wstring& text) override;
    int32_t Count() const override;
    int32_t Find(const std::wstring& key) const override;
    int32_t Parent(int32_t node) const override;
    std::wstring Key(int32_t node) const override;
    std::wstring Text(int32_t node) const override;
    void SetText(int32_t node, const std::wstring& text) override;
    std::wstring Image(int32_t node) const override;
    void SetImage(int32_t node, const std::wstring& imageKey) override;
    bool Checked(int32_t node) const override;
    void SetChecked(int32_t node, bool checked) override;
    bool Expanded(int32_t node) const override;
    void SetExpanded(int32_t node, bool expanded) override;
    bool Bold(int32_t node) const override;
    void SetBold(int32_t node, bool bold) override;
    void EnsureVisible(int32_t node) override;
    void SetRecord(int32_t node, ObjectRef record) override;
    const ObjectRef& Record(int32_t node) const override;
    void SetEvents(TreeViewEvents* events) override;

  private:
    struct Shown {
        HTREEITEM item = nullptr;
        bool filled = false;  // its children are in the control
    };
    // The program's own changes make the control notify too; those are not user actions.
    class ProgramChange {
      public:
        explicit ProgramChange(Win32TreeView& tree) : tree_(tree) { ++tree_.programDepth_; }
        ~ProgramChange() { --tree_.programDepth_; }

      private:
        Win32TreeView& tree_;
    };

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR self);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    int32_t PositionOf(HTREEITEM item) const;
    UINT State(HTREEITEM item, UINT mask) const;
    void SetState(HTREEITEM item, UINT state, UINT mask);
    int ImageIndex(const std::wstring& key) const;
    // Puts the node into the control under its (filled) parent, with everything beneath it
    // that the model shows expanded.
    void Reveal(int32_t node);
    void Fill(int32_t node);
    void ExpandShown(int32_t node, bool expanded);
    void HoldRedraw();
    void FlushPending();
    void ScrollToReveal();
    void ReportCheck(HTREEITEM item);
    void RaiseMouseUp(int32_t button, int32_t shift, int32_t x, int32_t y);

    // A button pressed over the control, until its release has been reported.
    struct Press {
        int32_t button, shift, x, y;
        bool clicked;   // the control reported a click (no drag)
        bool tracking;  // still inside the control's own handling of the press
    };
    std::optional<Press> down_;
    HWND hwnd_ = nullptr;
    std::vector<std::wstring> imageKeys_;
    MemoryTreeView model_;
    std::vector<Shown> shown_;  // by position - 1
    uint64_t clears_ = 0;
    bool redrawHeld_ = false;
    int32_t revealOnResume_ = 0;
    std::vector<int32_t> pending_;  // added under shown parents, not yet in the control
    TreeViewEvents* events_ = nullptr;
    int programDepth_ = 0;
};

}  // namespace prowl::win32
