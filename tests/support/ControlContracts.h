#pragma once
// What every implementation of the command switches, the status panels and the progress bar
// must do, as one parameterized suite. Include this header in exactly one source file of a
// test program and instantiate it there with the factory of its controls:
//
//   INSTANTIATE_TEST_SUITE_P(Memory, ControlsContract,
//                            ::testing::Values(ControlsFactory{"Memory", &MakeMemoryControls}),
//                            ControlsFactoryName);

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <tuple>

#include "ui/CommandSwitches.h"
#include "ui/StatusPanels.h"

namespace prowl {

class ControlsFixture {
  public:
    virtual ~ControlsFixture() = default;
    virtual CommandSwitches& Switches() = 0;
    virtual StatusPanels& Panels() = 0;
    virtual ProgressBarView& Progress() = 0;
};

struct ControlsFactory {
    const char* name;
    std::unique_ptr<ControlsFixture> (*make)();
};
inline void PrintTo(const ControlsFactory& factory, std::ostream* os) { *os << factory.name; }
inline std::string ControlsFactoryName(const ::testing::TestParamInfo<ControlsFactory>& info) {
    return info.param.name;
}

class ControlsContract : public ::testing::TestWithParam<ControlsFactory> {
  protected:
    void SetUp() override { fixture_ = GetParam().make(); }
    std::unique_ptr<ControlsFixture> fixture_;
};

TEST_P(ControlsContract, ControlsMirrorWhatTheyAreGivenAndLeaveAloneWhatNamesNothing) {
    CommandSwitches& s = fixture_->Switches();
    const std::vector<ToolbarButtonState> buttons = {
        {1, false, L"Go", L"Go", L"Go on", 2, true},
        {2, true, L"", L"", L"", 0, true},
        {3, false, L"Halt", L"Halt!", L"Stop", 1, false}};
    const std::vector<MenuItemState> items = {{L"mnuPop", L"", L"Pop", true, false},
                                              {L"mnuPopA", L"mnuPop", L"&A", false, true},
                                              {L"mnuBar", L"", L"&Bar", true, true},
                                              {L"mnuBarB", L"mnuBar", L"&B", true, true}};
    s.Build(buttons, items);
    const auto button = [&](const ToolbarButtonState& b) {
        return std::make_tuple(b.index, b.separator, b.key, b.caption, b.tooltip, b.image);
    };
    for (const auto& b : buttons) EXPECT_EQ(button(s.Button(b.index)), button(b)) << b.index;
    for (const auto& m : items) {
        const MenuItemState got = s.MenuItem(m.name);
        EXPECT_EQ(std::make_tuple(got.name, got.parent, got.caption, got.visible, got.enabled),
                  std::make_tuple(m.name, m.parent, m.caption, m.visible, m.enabled));
    }
    EXPECT_FALSE(s.Button(3).enabled);
    s.SetButtonEnabled(3, true);
    s.SetButtonEnabled(1, false);
    s.SetMenuItemEnabled(L"mnuPopA", true);  // inside a menu shown only as a popup
    s.SetMenuItemEnabled(L"mnuBarB", false);
    s.SetMenuItemVisible(L"mnuBar", false);
    // What names nothing changes nothing; reading it is an error.
    for (int32_t index : {0, 4}) s.SetButtonEnabled(index, true);
    s.SetMenuItemEnabled(L"mnuNone", true);
    s.ShowPopupMenu(L"mnuNone", 1, 1);
    EXPECT_THROW(s.Button(4), std::out_of_range);
    EXPECT_THROW(s.MenuItem(L"mnuNone"), std::out_of_range);
    EXPECT_EQ(
        std::make_tuple(s.Button(1).enabled, s.Button(3).enabled, s.MenuItem(L"mnuPopA").enabled,
                        s.MenuItem(L"mnuBarB").enabled, s.MenuItem(L"mnuBar").visible),
        std::make_tuple(false, true, true, false, false));

    StatusPanels& panels = fixture_->Panels();
    panels.SetPanelText(1, L"Source File: C:\\a.PRW");
    panels.SetPanelText(2, L"  spaced  ");
    for (int32_t panel : {0, 3}) panels.SetPanelText(panel, L"nowhere");
    EXPECT_EQ(std::make_tuple(panels.PanelText(1), panels.PanelText(2), panels.PanelText(3)),
              std::make_tuple(L"Source File: C:\\a.PRW", L"  spaced  ", L""));
    ProgressBarView& bar = fixture_->Progress();
    const auto state = [&] {
        const ProgressBarState s = bar.State();
        return std::make_tuple(s.visible, s.value, s.maximum);
    };
    EXPECT_EQ(state(), std::make_tuple(false, 0.0f, 100.0f));
    bar.Update({true, 3.0f, 10.0f});
    EXPECT_EQ(state(), std::make_tuple(true, 3.0f, 10.0f));
    bar.Update({false, 7.0f, 10.0f});
    EXPECT_EQ(state(), std::make_tuple(false, 7.0f, 10.0f));
}

}  // namespace prowl
