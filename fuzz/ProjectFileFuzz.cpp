// Any bytes as a project file: an open either fails with a message or gives a project that
// saves and opens back equal, and saves to the same bytes again.

#include "Desk.h"
#include "FuzzTargets.h"
#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"

namespace prowl::fuzz {

void ProjectFileFuzz(std::string_view bytes) {
    test::Desk desk;
    MemoryDisk& disk = desk.disk;
    disk.File(L"C:\\P\\in.prw", std::string(bytes));
    disk.File(L"C:\\P\\A.DLL");
    disk.Folder(L"C:\\P\\SUB");
    ProjectState first, second;
    try {
        OpenProjectFile(first, disk, desk.logic, L"C:\\P\\in.prw");
    } catch (const ProwlError&) {
        Require(first.DigColl->empty() && first.SaveFile->StartPath.empty(),
                "a failed open left the project as it was");
        return;
    }
    SaveProjectFile(first, disk, desk.logic, L"C:\\P\\out.prw");
    OpenProjectFile(second, disk, desk.logic, L"C:\\P\\out.prw");
    Require(test::RowsOf(first) == test::RowsOf(second), "what was saved opens back equal");
    SaveProjectFile(second, disk, desk.logic, L"C:\\P\\again.prw");
    Require(disk.Bytes(L"C:\\P\\again.prw") == disk.Bytes(L"C:\\P\\out.prw"),
            "a reopened project saves to the same bytes");
}

}  // namespace prowl::fuzz
