#pragma once
// What the registry says is registered: classes whose InprocServer32 names a file and type
// libraries whose win32 or win64 entry does. Gathered in one read-only pass over the machine's
// and the user's classes, in both registry views, then looked up per file by hash: build it
// once per command, and a project of 100,000 files costs one registry walk, not one per file.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "inspect/SystemFacts.h"
#include "model/RegistryReader.h"

namespace prowl {

struct RegistrationCounts {
    int32_t Classes = 0;
    int32_t TypeLibraries = 0;
    bool Registered() const { return Classes != 0 || TypeLibraries != 0; }
    friend bool operator==(const RegistrationCounts&, const RegistrationCounts&) = default;
};

class RegistrationIndex {
  public:
    RegistrationIndex() = default;  // nothing registered

    // A class or type library registered in more than one place (both views, machine and
    // user) counts once; one type library is its identifier and version. The pass takes
    // seconds where the registry is slow (Wine), so it calls letMessagesThrough after every
    // kKeysPerBreak keys it opens (a few tens of milliseconds there), for the window to
    // process its messages.
    static RegistrationIndex Build(RegistryReader& registry, const SystemFacts& facts,
                                   const std::function<void()>& letMessagesThrough = nullptr);
    static constexpr int32_t kKeysPerBreak = 32;

    RegistrationCounts Lookup(const std::wstring& path) const;

  private:
    std::unordered_map<std::wstring, RegistrationCounts> files_;  // by comparable path
    // The files' own names: most paths looked up are of files never registered, and their
    // name alone tells so without the whole path being made comparable.
    std::unordered_set<std::wstring> names_;
    // Before that, what no locale's upper case changes in those names (see NameShape): a
    // report asks about every record, and this answers most of them without making a string.
    std::unordered_set<std::uint64_t> shapes_;
};

}  // namespace prowl
