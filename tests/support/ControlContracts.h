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

class ControlsContract : public ::testing::TestWithParam<ControlsFactory> {};

// The switches as built are read back by the real window's own test; here, what changes them.
TEST_P(ControlsContract, ControlsMirrorEachChangeTheyAreGiven) {
    const auto fixture = GetParam().make();
    CommandSwitches& s = fixture->Switches();
    s.Build({{1, false, L"Go", L"Go", L"Go on", 2, true}, {2, false, L"Halt", L"Halt", L"", 1}},
            {{L"mnuPop", L"", L"Pop", true, false},
             {L"mnuPopA", L"mnuPop", L"&A", false, true},
             {L"mnuBar", L"", L"&Bar"},
             {L"mnuBarB", L"mnuBar", L"&B"}});
    s.SetButtonEnabled(2, true);
    s.SetButtonEnabled(1, false);
    s.SetMenuItemEnabled(L"mnuPopA", true);  // inside a menu shown only as a popup
    s.SetMenuItemEnabled(L"mnuBarB", false);
    ProgressBarView& bar = fixture->Progress();
    bar.Update({true, 3.0f, 10.0f});
    const float shown = bar.State().value;
    bar.Update({false, 7.0f, 10.0f});  // hidden, it keeps its place
    EXPECT_EQ(std::make_tuple(s.Button(1).enabled, s.Button(2).enabled,
                              s.MenuItem(L"mnuPopA").enabled, s.MenuItem(L"mnuBarB").enabled, shown,
                              bar.State().visible, bar.State().value, bar.State().maximum),
              std::make_tuple(false, true, true, false, 3.0f, false, 7.0f, 10.0f));
}

}  // namespace prowl
