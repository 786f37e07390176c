#pragma once
// Walks a start path into a new project: one record per folder that holds a DLL or OCX file
// somewhere beneath it and one per such file, depth first, in the platform's listing order.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "model/FileSystem.h"
#include "model/ProjectState.h"
#include "model/StatusSink.h"

namespace prowl {

class PathScanner {
  public:
    PathScanner(ProjectState& state, FileSystem& fs, StatusSink& sink)
        : state_(state), fs_(fs), sink_(sink) {}

    // Builds into a collection and a project record of its own and installs them in the
    // project state only when the walk completes without a Stop, so a Stop (which installs
    // an empty project or restores the previous one) can never be written into.
    // Returns true when at least one DLL or OCX file was found and the scan was not stopped.
    // Throws ProwlError, before anything changes, when the start path's drive is missing or
    // not ready, or when the start folder exists but cannot be listed.
    bool ScanProjectPath(const std::wstring& startPath);

    // One walk rooted at the folder, appending to the collection and counting into a fresh
    // record (Counts), never into the project's. A folder below it that cannot be listed is
    // left out; the folder itself, when it cannot be listed, is an error (ProwlError).
    bool ScanFolder(ItemCollection& collection, const std::wstring& folderPath,
                    int32_t parentIndex);
    // The counts of the latest walk.
    const clsSaveFile& Counts() const { return *record_; }

    // Adds a record when the name's extension is DLL or OCX (any case); true when it did.
    bool ClassifyFile(int32_t parentIndex, ItemCollection& collection, const std::wstring& name,
                      const std::wstring& folderPath);

  private:
    struct Frame;
    bool Stopped() const { return state_.ProcessMode == kProcessIdle; }
    bool Walk(ItemCollection& collection, const std::wstring& folderPath, int32_t parentIndex);
    // Whether the folder a link or junction leads to must be left out: it is one of the
    // folders being visited (a cycle), or a link already led to it in this walk.
    bool SkipLinkTarget(std::vector<Frame>& stack, const std::wstring& path);
    bool EnterFolder(ItemCollection& collection, std::vector<Frame>& stack, std::wstring path,
                     int32_t parentIndex, bool isStart);

    ProjectState& state_;
    FileSystem& fs_;
    StatusSink& sink_;
    SaveFileRef record_ = std::make_shared<clsSaveFile>();
    std::set<FileIdentity> linkTargets_;
};

// The last component of a path, ignoring one trailing backslash ("C:\" gives "C:").
std::wstring LastPathPart(const std::wstring& path, bool upperCase);

}  // namespace prowl
