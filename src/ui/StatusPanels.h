#pragma once
// The two one-panel status bars (SBSourceFile is panel 1, SBAction panel 2) and the
// progress bar that lies over SBAction.
//
// The logic hands over every text as it happens, thousands per second during a scan. The
// window may repaint at a lower rate, but must always end up showing the last text given.

#include <cstdint>
#include <string>

namespace prowl {

class StatusPanels {
  public:
    virtual ~StatusPanels() = default;
    virtual void SetPanelText(int32_t panel, const std::wstring& text) = 0;
    virtual std::wstring PanelText(int32_t panel) const = 0;  // read back from the control
};

struct ProgressBarState {
    bool visible = false;
    // Both held in single precision: a maximum above 2^24 is rounded, and the clamp of
    // ProgressBar_Increment compares the rounded values.
    float value = 0.0f;
    float maximum = 100.0f;
};

class ProgressBarView {
  public:
    virtual ~ProgressBarView() = default;
    // The whole state each time. When it turns visible it is drawn in front of SBAction.
    virtual void Update(const ProgressBarState& state) = 0;
    virtual ProgressBarState State() const = 0;  // read back from the control
};

// txtFilePath: shows a path, a user can select and copy it but not type into it.
class TextBoxView {
  public:
    virtual ~TextBoxView() = default;
    virtual void SetText(const std::wstring& text) = 0;
    virtual std::wstring Text() const = 0;
};

}  // namespace prowl
