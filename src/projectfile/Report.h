#pragma once
// The project as a report that spreadsheet programs open directly: CSV in UTF-8 with a
// byte-order mark, CR LF after every row, fields quoted (and their quotes doubled) only where
// they hold a comma, a quote or a line break. A header row, then one row per DLL or OCX
// record in collection order: path, type, included, exists now, built for, registered,
// missing DLLs.
//
// "Exists now" is the disk as it is while the report is written, not the record's Exists
// from the last scan or open: each folder is listed once, and only the files found there have
// their headers read. Like the project file, the report replaces the old file only once it is
// complete; a failure throws ProwlError and leaves the old file as it was.

#include <string>

#include "inspect/ComponentFiles.h"
#include "inspect/RegistrationIndex.h"
#include "inspect/SystemFacts.h"
#include "model/FileSystem.h"
#include "model/ItemCollection.h"
#include "model/StatusSink.h"

namespace prowl {

struct ReportSources {
    FileSystem& files;  // listings of the records' folders, and the report's own file
    ComponentFiles& components;
    const SystemFacts& system;
    const RegistrationIndex& registration;  // built once per report by the caller
};

// Reports progress on the action panel and the progress bar, one step per record, so the
// window stays alive; a command taken meanwhile may change the collection, which is read
// afresh at each record.
void WriteReport(const ItemCollection& records, const ReportSources& sources, StatusSink& status,
                 const std::wstring& FileName);

}  // namespace prowl
