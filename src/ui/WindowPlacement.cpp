#include "ui/WindowPlacement.h"

#include <algorithm>
#include <cstring>

namespace prowl {
namespace {

constexpr const wchar_t* kLeft = L"WindowLeft";
constexpr const wchar_t* kTop = L"WindowTop";
constexpr const wchar_t* kWidth = L"WindowWidth";
constexpr const wchar_t* kHeight = L"WindowHeight";
constexpr const wchar_t* kMaximized = L"WindowMaximized";
// Beyond any desktop made of real monitors: a larger value was not written by this program.
constexpr int32_t kLargest = 1 << 16;

std::optional<int32_t> ReadNumber(SettingsStore& settings, const wchar_t* name) {
    const std::optional<RegistryValue> value = settings.Read(name);
    if (!value || value->type != kRegDword || value->data.size() != 4) return std::nullopt;
    uint32_t number;
    std::memcpy(&number, value->data.data(), 4);  // the platform's order, little-endian
    return static_cast<int32_t>(number);
}

}  // namespace

std::optional<WindowPlace> LoadWindowPlace(SettingsStore& settings) {
    const auto left = ReadNumber(settings, kLeft), top = ReadNumber(settings, kTop),
               width = ReadNumber(settings, kWidth), height = ReadNumber(settings, kHeight),
               maximized = ReadNumber(settings, kMaximized);
    if (!left || !top || !width || !height || !maximized) return std::nullopt;
    const auto within = [](int32_t v, int32_t low) { return v >= low && v <= kLargest; };
    if (!within(*left, -kLargest) || !within(*top, -kLargest) || !within(*width, 1) ||
        !within(*height, 1) || (*maximized != 0 && *maximized != 1))
        return std::nullopt;
    return WindowPlace{*left, *top, *width, *height, *maximized == 1};
}

void SaveWindowPlace(SettingsStore& settings, const WindowPlace& place) {
    settings.WriteNumber(kLeft, static_cast<uint32_t>(place.left));
    settings.WriteNumber(kTop, static_cast<uint32_t>(place.top));
    settings.WriteNumber(kWidth, static_cast<uint32_t>(place.width));
    settings.WriteNumber(kHeight, static_cast<uint32_t>(place.height));
    settings.WriteNumber(kMaximized, place.maximized ? 1 : 0);
}

WindowPlace PlaceOnScreen(const WindowPlace& place, const Screens& screens) {
    if (screens.AnyShows(place)) return place;
    const WindowPlace work = screens.MainWorkArea();
    WindowPlace moved = place;
    moved.width = std::min(place.width, work.width);
    moved.height = std::min(place.height, work.height);
    moved.left = work.left + (work.width - moved.width) / 2;
    moved.top = work.top + (work.height - moved.height) / 2;
    return moved;
}

}  // namespace prowl
