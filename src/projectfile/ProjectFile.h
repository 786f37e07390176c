#pragma once
// The project file (*.PRW): the start path on the first line, then one line of nine
// TAB-separated fields per item record, CR LF between lines and none after the last.
//
// Saving goes to a temporary file that replaces the old one only once it is complete, so a
// failed save leaves the previous file, FileName and Altered alone. Opening reads and checks
// the whole file into new records and installs them only when all of it succeeded, so a
// failed open leaves the current project exactly as it was. Failures throw ProwlError with
// the system's description or, for the file's content, "line N: reason".

#include <cstdint>
#include <string>
#include <string_view>

#include "model/FileSystem.h"
#include "model/ItemCollection.h"
#include "model/ProjectState.h"
#include "model/Records.h"
#include "model/StatusSink.h"

namespace prowl {

bool SaveProjectFile(ProjectState& state, FileSystem& fs, StatusSink& status,
                     const std::wstring& FileName);

// The record's item line including its CR LF.
std::wstring BuildRecordLine(const clsObject& record);

bool OpenProjectFile(ProjectState& state, FileSystem& fs, StatusSink& status,
                     const std::wstring& FileName);

// What a read builds before anything is installed: the counts and missing counts go into
// SaveFile, the records into DigColl.
struct LoadedProject {
    clsSaveFile SaveFile;
    CollectionRef DigColl = std::make_shared<ItemCollection>();
};

// The text after the header line; firstLineNumber is the file line of its first piece.
void ParseItemLines(std::wstring_view text, int32_t firstLineNumber, LoadedProject& into,
                    FileSystem& fs);

// Adds at most one record; false for a line that does not split into exactly nine fields.
bool ParseItemLine(std::wstring_view line, int32_t lineNumber, LoadedProject& into, FileSystem& fs);

}  // namespace prowl
