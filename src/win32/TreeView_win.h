#pragma once
// The tree view interface on a real SysTreeView32 control.
#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

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
    HTREEITEM ItemHandle(int32_t node) const { return At(node).item; }

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
    ObjectRef Record(int32_t node) const override;
    void SetEvents(TreeViewEvents* events) override;

  private:
    struct Node {
        HTREEITEM item;
        std::wstring key;
        int32_t parent;
        ObjectRef record;
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
    const Node& At(int32_t node) const;
    int32_t PositionOf(HTREEITEM item) const;
    UINT State(int32_t node, UINT mask) const;
    void SetState(int32_t node, UINT state, UINT mask);
    bool HasChildren(HTREEITEM item) const;
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
    std::vector<Node> nodes_;
    std::unordered_map<std::wstring, int32_t> byKey_;
    TreeViewEvents* events_ = nullptr;
    int programDepth_ = 0;
};

}  // namespace prowl::win32
