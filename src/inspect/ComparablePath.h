#pragma once
// Paths in the form in which two names of one file are equal, as the system compares them,
// so that a registry value and a project's record can be matched with one hash look-up.

#include <string>
#include <string_view>

#include "inspect/SystemFacts.h"

namespace prowl {

// Forward slashes taken as backslashes, the \\?\ and \\.\ forms dropped, repeated
// backslashes collapsed, "." and ".." resolved (never above the drive or share), no trailing
// backslash, upper case. "C:\\A\.\b\..\X.dll" and "c:\a\x.DLL" give the same text.
std::wstring ComparablePath(std::wstring_view path);

// %NAME% replaced by the variable's value; an unknown name stays as written, as the system
// leaves it.
std::wstring ExpandEnvironment(std::wstring_view text, const SystemFacts& facts);

// Resolves names of files the way code of a given bitness sees them. Keeps the system
// folders in comparable form, so it is made once per pass, not once per path.
class PathResolver {
  public:
    explicit PathResolver(const SystemFacts& facts);

    // For 32-bit code on 64-bit Windows, a path into the system folder is redirected to
    // SysWOW64. Takes and gives comparable paths.
    std::wstring AsSeenBy(Bitness bitness, std::wstring comparable) const;

    // The file a registry value names, as a comparable path: variables expanded (in plain
    // text values too), surrounding blanks and quotes removed, short names made long, a bare
    // file name taken from the system folder (where the loader finds it first). Empty when
    // the value names nothing.
    std::wstring RegisteredFile(std::wstring_view value, Bitness bitness) const;

  private:
    const SystemFacts& facts_;
    std::wstring system64_;
    std::wstring system32_;
};

}  // namespace prowl
