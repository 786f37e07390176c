#pragma once
// Reads what inspection needs from a program file's PE headers, and nothing more: the
// processor, whether it is a DLL, the two registration entry points, the DLLs it imports and
// the side-by-side assemblies its embedded manifest depends on. No field is trusted: every
// offset, size, count and address is checked against the file before it is used, so a
// truncated or hostile file is refused, never read past its end.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "inspect/ComponentFiles.h"
#include "inspect/Manifest.h"

namespace prowl {

inline constexpr uint16_t kMachineX86 = 0x014C;
inline constexpr uint16_t kMachineX64 = 0x8664;
inline constexpr uint16_t kMachineArm64 = 0xAA64;

struct ImportedDll {
    std::wstring Name;
    bool Delayed = false;  // from the delay-load table: needed only when first called
    friend bool operator==(const ImportedDll&, const ImportedDll&) = default;
};

struct PeFacts {
    uint16_t Machine = 0;
    bool IsDll = false;
    bool ExportsRegister = false;    // DllRegisterServer
    bool ExportsUnregister = false;  // DllUnregisterServer
    // Each DLL once (names compared without case), in table order, the import table first.
    std::vector<ImportedDll> Imports;
    // From the manifests of the resources (type 24); none when they cannot be read, since
    // they only add places where the DLLs are looked for.
    std::vector<AssemblyIdentity> Assemblies;
    friend bool operator==(const PeFacts&, const PeFacts&) = default;
};

// Empty when the bytes are not a program file the loader could take, or any structure read
// on the way is out of bounds.
std::optional<PeFacts> ReadPe(ByteSource& source);

}  // namespace prowl
