#pragma once
// Walks a start path into a new project: one record per folder that holds a DLL or OCX file
// somewhere beneath it and one per such file, depth first, in the platform's listing order.

#include <cstdint>
#include <string>

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

    // One walk rooted at the folder, appending to the collection; counts go to the record of
    // the running scan (a fresh one when called on its own).
    bool ScanFolder(ItemCollection& collection, const std::wstring& folderPath,
                    int32_t parentIndex);

    // Adds a record when the name's extension is DLL or OCX (any case); true when it did.
    bool ClassifyFile(int32_t parentIndex, ItemCollection& collection, const std::wstring& name,
                      const std::wstring& folderPath);

  private:
    struct Frame;
    bool Stopped() const { return state_.ProcessMode == kProcessIdle; }
    bool EnterFolder(ItemCollection& collection, std::vector<Frame>& stack, std::wstring path,
                     int32_t parentIndex, bool isStart);
    bool LeadsBackToAncestor(std::vector<Frame>& stack, const std::wstring& path);

    ProjectState& state_;
    FileSystem& fs_;
    StatusSink& sink_;
    SaveFileRef record_ = std::make_shared<clsSaveFile>();
};

// The last component of a path, ignoring one trailing backslash ("C:\" gives "C:").
std::wstring LastPathPart(const std::wstring& path, bool upperCase);

}  // namespace prowl
