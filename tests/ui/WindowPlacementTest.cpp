// The window's place as kept in the settings and brought back onto a screen.
#include <gtest/gtest.h>

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
    using Place = std::optional<WindowPlace>;
    const RegistryValue text{kRegSz, std::string("1\0\0\0", 4)};
    const RegistryValue wide{kRegDword, std::string(8, '\0')};
    const RegistryValue negative{kRegDword, std::string("\xFB\xFF\xFF\xFF", 4)};  // -5
    const RegistryValue two{kRegDword, std::string("\2\0\0\0", 4)};
    const struct {
        WindowPlace saved;
        const wchar_t* spoilt;  // the value replaced by `with`, or erased when `with` is null
        const RegistryValue* with;
        Place shown;
    } cases[] = {
        {{100, 50, 600, 400, false}, nullptr, nullptr, WindowPlace{100, 50, 600, 400, false}},
        {{-300, -20, 600, 400, true}, nullptr, nullptr, WindowPlace{-300, -20, 600, 400, true}},
        {{5000, 5000, 600, 400, false}, nullptr, nullptr, WindowPlace{340, 300, 600, 400, false}},
        {{-3000, 0, 2000, 2000, true}, nullptr, nullptr, WindowPlace{0, 0, 1280, 1000, true}},
        {{100, 50, 600, 400, false}, L"WindowTop", nullptr, std::nullopt},
        {{100, 50, 600, 400, false}, L"WindowLeft", &text, std::nullopt},
        {{100, 50, 600, 400, false}, L"WindowMaximized", &wide, std::nullopt},
        {{100, 50, 600, 400, false}, L"WindowHeight", &negative, std::nullopt},
        {{100, 50, 600, 400, false}, L"WindowMaximized", &two, std::nullopt},
        {{100, 50, 0, 400, false}, nullptr, nullptr, std::nullopt},
        {{100, 50, 600, 70000, false}, nullptr, nullptr, std::nullopt},
        {{-70000, 50, 600, 400, false}, nullptr, nullptr, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        MemorySettings settings;
        SaveWindowPlace(settings, c.saved);
        if (c.spoilt && c.with) settings.values[c.spoilt] = *c.with;
        if (c.spoilt && !c.with) settings.values.erase(c.spoilt);
        const Place loaded = LoadWindowPlace(settings);
        EXPECT_EQ(loaded ? Place(PlaceOnScreen(*loaded, OneMonitor())) : std::nullopt, c.shown);
    }
}

}  // namespace
}  // namespace prowl
