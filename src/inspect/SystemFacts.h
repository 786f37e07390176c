#pragma once
// The few facts about the running system that inspection depends on: where the loader looks
// for DLLs, the environment that registry values refer to, and the rights the program has.

#include <optional>
#include <string>

namespace prowl {

enum class Bitness { Bits32, Bits64 };

class SystemFacts {
  public:
    virtual ~SystemFacts() = default;
    // The system folder that code of this bitness sees: for 32-bit code on 64-bit Windows
    // that is SysWOW64, to which its System32 is redirected.
    virtual std::wstring SystemFolder(Bitness bitness) const = 0;
    virtual std::wstring WindowsFolder() const = 0;
    // Names compare case-insensitively; empty when the variable is not set.
    virtual std::optional<std::wstring> Environment(const std::wstring& name) const = 0;
    virtual bool IsElevated() const = 0;
    // The path with short (8.3) names replaced by long ones; the path itself when the
    // system cannot tell (it names nothing that exists).
    virtual std::wstring LongPath(const std::wstring& path) const = 0;
};

}  // namespace prowl
