// The window's place as kept in the settings.
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

TEST(WindowPlacement, ValuesThisProgramWouldNotHaveWrittenAreIgnored) {
    // Out of range or missing.
    const std::function<void(MemorySettings&)> spoilings[] = {
        [](MemorySettings& s) { s.WriteNumber(L"WindowWidth", 0); },
        [](MemorySettings& s) { s.WriteNumber(L"WindowMaximized", 2); },
        [](MemorySettings& s) { s.values.erase(L"WindowTop"); },
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
