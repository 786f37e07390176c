#pragma once
// Everything inspection tells about one component file, gathered in one call: what the file
// is, which DLLs it needs that the loader would not find, and what the registry says of it.

#include <optional>
#include <string>
#include <vector>

#include "inspect/ComponentFiles.h"
#include "inspect/PeReader.h"
#include "inspect/RegistrationIndex.h"
#include "inspect/SystemFacts.h"

namespace prowl {

struct ComponentFacts {
    std::optional<PeFacts> Program;  // empty: not a program file
    std::vector<ImportedDll> MissingDlls;
    RegistrationCounts Registration;
};

// The bitness of code built for the processor; empty for a processor that is neither.
std::optional<Bitness> BitnessOf(uint16_t machine);

// The imported DLLs that the loader would not find for the file at the path, looking where
// it looks: the file's own folder, the system folder of the file's bitness, the Windows
// folder, the folders on PATH. API-set names are the loader's own and always present. A DLL
// found nowhere there is still present when a side-by-side assembly that the file's manifest
// depends on holds it in the Windows folder's store (WinSxS); private assemblies beside the
// file are not looked at.
std::vector<ImportedDll> FindMissingDlls(const std::wstring& path, const PeFacts& program,
                                         ComponentFiles& files, const SystemFacts& facts);

// Empty when the file cannot be opened for reading. Reads only the headers and tables it
// needs, whatever the file's size.
std::optional<ComponentFacts> InspectComponent(const std::wstring& path, ComponentFiles& files,
                                               const SystemFacts& facts,
                                               const RegistrationIndex& registration);

}  // namespace prowl
