#pragma once
// A launcher in memory. A start is named "program|command line|working folder"; it goes as
// the script of that name says, and is told to onStart first, so that a test can log it
// beside what the window showed.

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "registration/Launcher.h"

namespace prowl::test {

// A launch ends with `code` after being found running `looks` times (never when negative),
// or cannot be started at all, for the reason given.
struct LaunchScript {
    uint32_t code = 0;
    int looks = 1;
    std::wstring cannotStart;
};

class ScriptedLauncher : public Launcher {
  public:
    StartResult StartHidden(const std::wstring& program, const std::wstring& commandLine,
                            const std::wstring& workingFolder) override {
        const std::wstring start = program + L"|" + commandLine + L"|" + workingFolder;
        if (onStart) onStart(start);
        const LaunchScript s = scripts[start];
        if (!s.cannotStart.empty()) return {nullptr, s.cannotStart};
        return {std::make_unique<Process>(s), L""};
    }
    bool StartShown(const std::wstring&, std::wstring*) override { return false; }

    std::map<std::wstring, LaunchScript> scripts;
    std::function<void(const std::wstring& start)> onStart;

  private:
    struct Process : RunningProcess {
        explicit Process(LaunchScript s) : s(s) {}
        bool WaitForExitOrInput(uint32_t) override { return s.looks >= 0 && looks++ >= s.looks; }
        // Like the real process: no code while it still runs.
        std::optional<uint32_t> ExitCode() const override {
            return s.looks >= 0 && looks > s.looks ? std::optional(s.code) : std::nullopt;
        }
        LaunchScript s;
        int looks = 0;
    };
};

}  // namespace prowl::test
