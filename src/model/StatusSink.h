#pragma once
// What the long routines (scan, project file, registration) may call on the main window.
// Every call also lets the window process its pending messages, which is where a Stop
// (or any other command) can arrive.

#include <cstdint>
#include <string>

namespace prowl {

inline constexpr int32_t kPanelSourceFile = 1;
inline constexpr int32_t kPanelAction = 2;

class StatusSink {
  public:
    virtual ~StatusSink() = default;
    virtual void StatusBar_Update(int32_t SBIndex, const std::wstring& aString) = 0;
    virtual void ProgressBar_Show(bool isVisible, int32_t Max) = 0;
    virtual void ProgressBar_Increment(int32_t Amount) = 0;
};

}  // namespace prowl
