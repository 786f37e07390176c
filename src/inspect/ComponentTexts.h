#pragma once
// What users read about a component: the rows of File Details, the count of Project Details,
// and the explanation of a failed registration.

#include <cstdint>
#include <optional>
#include <string>

#include "inspect/ComponentFacts.h"
#include "model/ItemCollection.h"

namespace prowl {

// "32-bit (x86)", "64-bit (x64)", "ARM64", "Other" or "Not a program file".
std::wstring BuiltForText(const ComponentFacts& facts);
// "Register and Unregister", "Register only", "Unregister only" or "None".
std::wstring EntryPointsText(const ComponentFacts& facts);
// "Yes, 2 classes, 1 type library" or "No".
std::wstring RegisteredText(const RegistrationCounts& counts);
// "None" or the names, comma-separated.
std::wstring MissingDllsText(const ComponentFacts& facts);

struct RegisteredNow {
    int32_t Registered = 0;
    int32_t Total = 0;
};
// Of all DLL and OCX records of the collection, how many the registry names.
RegisteredNow CountRegistered(const ItemCollection& items, const RegistrationIndex& index);
// "N of M".
std::wstring RegisteredNowText(const RegisteredNow& count);

// Why the registration utility of the given bitness failed with the exit code, as far as the
// file's facts tell, in the words of a failure reason; empty when they tell nothing more than
// the code itself.
std::optional<std::wstring> ExplainFailure(const ComponentFacts& facts, uint32_t exitCode,
                                           bool registering, bool elevated, Bitness utility);

}  // namespace prowl
