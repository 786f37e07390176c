#pragma once
// The main window's size, position and maximized state, kept between runs under the
// program's own key (per user). What is read back is used only when every value is there
// and sensible, and a place that no screen shows any more is brought back onto one.

#include <cstdint>
#include <optional>
#include <string>

#include "model/RegistryReader.h"

namespace prowl {

struct WindowPlace {
    int32_t left = 0, top = 0, width = 0, height = 0;  // the restored (not maximized) frame
    bool maximized = false;
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

// Named values of the program's own settings key. Reading gives the value as stored, or
// nothing; writing is best effort (a settings key that cannot be written costs the user
// only the remembered place).
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::optional<RegistryValue> Read(const std::wstring& name) = 0;
    virtual void WriteNumber(const std::wstring& name, uint32_t value) = 0;
};

// What the window needs to know about the screens now.
class Screens {
  public:
    virtual ~Screens() = default;
    // True when some monitor shows part of the frame.
    virtual bool AnyShows(const WindowPlace& frame) const = 0;
    // The work area of the main monitor (without the task bar), as a frame.
    virtual WindowPlace MainWorkArea() const = 0;
};

std::optional<WindowPlace> LoadWindowPlace(SettingsStore& settings);
void SaveWindowPlace(SettingsStore& settings, const WindowPlace& place);
// The place itself while a screen shows it; otherwise the same size (at most the work
// area's) in the middle of the main monitor's work area.
WindowPlace PlaceOnScreen(const WindowPlace& place, const Screens& screens);

}  // namespace prowl
