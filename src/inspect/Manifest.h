#pragma once
// The side-by-side assemblies a component's embedded manifest binds its DLLs from (the
// Visual C++ runtimes, MFC and ATL of 2005 and 2008, and the like), read from the manifest's
// text with a small scanner rather than an XML library: only dependentAssembly elements and
// their assemblyIdentity matter, and a text that is not what it should be yields nothing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace prowl {

struct AssemblyIdentity {
    std::wstring Name;            // "Microsoft.VC80.CRT"
    std::wstring Version;         // "8.0.50727.762"
    std::wstring Architecture;    // processorArchitecture: "x86", "amd64", "*", or empty
    std::wstring PublicKeyToken;  // "1fc8b3b9a1e18e3b"
    friend bool operator==(const AssemblyIdentity&, const AssemblyIdentity&) = default;
};

// More than any real component names; a manifest cannot make inspection search without end.
inline constexpr std::size_t kMaxDependentAssemblies = 16;

// The win32 assemblies the manifest depends on, in its order, at most
// kMaxDependentAssemblies. The text is UTF-8 (or UTF-16 with its byte-order mark). An
// identity whose name, version, architecture or token holds a character that no store
// folder's name can (a path separator, a wildcard, an underscore) is left out, so that it
// can never lead a search outside the store.
std::vector<AssemblyIdentity> DependentAssemblies(std::string_view manifest);

}  // namespace prowl
