#pragma once
// A status sink that keeps every call as a line of text: "2:Saving File: " for a status text
// (panel, colon, text), "show 5" and "hide 5" for the progress bar, "+1" for a step.

#include <string>
#include <vector>

#include "model/StatusSink.h"

namespace prowl::test {

class RecordingStatusSink : public StatusSink {
  public:
    void StatusBar_Update(int32_t SBIndex, const std::wstring& aString) override {
        lines.push_back(std::to_wstring(SBIndex) + L":" + aString);
    }
    void ProgressBar_Show(bool isVisible, int32_t Max) override {
        lines.push_back((isVisible ? L"show " : L"hide ") + std::to_wstring(Max));
    }
    void ProgressBar_Increment(int32_t Amount) override {
        lines.push_back(L"+" + std::to_wstring(Amount));
    }

    std::vector<std::wstring> lines;
};

}  // namespace prowl::test
