// The window's place as kept in the settings and brought back onto a screen.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "ui/WindowPlacement.h"

namespace prowl {
namespace {

struct MemorySettings : SettingsStore {
    std::optional<RegistryValue> Read(const std::wstring& name) override {
        return values.contains(name) ? std::optional(values[name]) : std::nullopt;
    }
    void WriteNumber(const std::wstring& name, uint32_t value) override {
        values[name] = {kRegDword, std::string(reinterpret_cast<const char*>(&value), 4)};
    }
    std::map<std::wstring, RegistryValue> values;
};

// One monitor of 1280 x 1024 whose work area leaves 24 pixels for the task bar.
struct OneMonitor : Screens {
    bool AnyShows(const WindowPlace& f) const override {
        return f.left < 1280 && f.top < 1024 && f.left + f.width > 0 && f.top + f.height > 0;
    }
    WindowPlace MainWorkArea() const override { return {0, 0, 1280, 1000, false}; }
};

TEST(WindowPlacement, ComesBackAsSavedOntoAVisibleScreenAndMalformedValuesAreIgnored) {
    const std::pair<WindowPlace, WindowPlace> shown[] = {
        {{5000, 5000, 600, 400, false}, {340, 300, 600, 400, false}},
        {{-3000, 0, 2000, 2000, true}, {0, 0, 1280, 1000, true}},
    };
    for (const auto& [saved, expected] : shown) {
        MemorySettings settings;
        SaveWindowPlace(settings, saved);
        EXPECT_EQ(PlaceOnScreen(LoadWindowPlace(settings).value(), OneMonitor()), expected);
    }
    // Values this program would not have written: out of range, missing, of another type.
    const std::function<void(MemorySettings&)> spoilings[] = {
        [](MemorySettings& s) { s.WriteNumber(L"WindowWidth", 0); },
        [](MemorySettings& s) { s.WriteNumber(L"WindowMaximized", 2); },
        [](MemorySettings& s) { s.values.erase(L"WindowTop"); },
        [](MemorySettings& s) { s.values[L"WindowLeft"].type = kRegSz; },
    };
    for (const auto& spoil : spoilings) {
        MemorySettings settings;
        SaveWindowPlace(settings, {100, 50, 600, 400, false});
        spoil(settings);
        EXPECT_FALSE(LoadWindowPlace(settings)) << &spoil - spoilings;
    }
}

}  // namespace
}  // namespace prowl
