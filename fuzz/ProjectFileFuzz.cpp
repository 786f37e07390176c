// Any bytes as a project file: an open either fails with a message or gives a project that
// saves and opens back equal, and saves to the same bytes again.

#include "FuzzTargets.h"
#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"
#include "support/RecordingStatusSink.h"
#include "ui/memory/MemoryDisk.h"

namespace prowl::fuzz {

namespace {

bool SameRecords(const ProjectState& a, const ProjectState& b) {
    if (a.SaveFile->StartPath != b.SaveFile->StartPath || a.DigColl->Count() != b.DigColl->Count())
        return false;
    for (int32_t p = 1; p <= a.DigColl->Count(); ++p) {
        const clsObject &x = *a.DigColl->Item(p), &y = *b.DigColl->Item(p);
        if (x.Index != y.Index || x.ParentIndex != y.ParentIndex || x.NodeType != y.NodeType ||
            x.Path != y.Path || x.Key != y.Key || x.Text != y.Text || x.Reference != y.Reference ||
            x.Included != y.Included || x.Expanded != y.Expanded || x.Exists != y.Exists)
            return false;
    }
    return true;
}

}  // namespace

void ProjectFileFuzz(std::string_view bytes) {
    MemoryDisk disk;
    disk.File(L"C:\\P\\in.prw", std::string(bytes));
    disk.File(L"C:\\P\\A.DLL");
    disk.Folder(L"C:\\P\\SUB");
    test::RecordingStatusSink sink;
    ProjectState first;
    try {
        OpenProjectFile(first, disk, sink, L"C:\\P\\in.prw");
    } catch (const ProwlError&) {
        Require(first.DigColl->empty() && first.SaveFile->StartPath.empty(),
                "a failed open left the project as it was");
        return;
    }
    SaveProjectFile(first, disk, sink, L"C:\\P\\out.prw");
    ProjectState second;
    OpenProjectFile(second, disk, sink, L"C:\\P\\out.prw");
    Require(SameRecords(first, second), "what was saved opens back equal");
    SaveProjectFile(second, disk, sink, L"C:\\P\\again.prw");
    Require(disk.Bytes(L"C:\\P\\again.prw") == disk.Bytes(L"C:\\P\\out.prw"),
            "a reopened project saves to the same bytes");
}

}  // namespace prowl::fuzz
