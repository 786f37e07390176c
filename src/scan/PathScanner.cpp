#include "scan/PathScanner.h"

#include <optional>
#include <vector>

#include "model/ProwlError.h"
#include "model/TextCase.h"

namespace prowl {

namespace {
const std::wstring kStartStatus = L"Start Prowling in project path ";
const std::wstring kFolderStatus = L"Prowling in ";
const std::wstring kFinishedStatus = L"Finished Prowling.";

ObjectRef MakeRecord(int32_t index, int32_t parentIndex, const wchar_t* nodeType, std::wstring path,
                     std::wstring text) {
    auto r = std::make_shared<clsObject>();
    r->Index = index;
    r->Key = MakeKey(index);
    r->ParentIndex = parentIndex;
    r->Reference = MakeKey(parentIndex);
    r->NodeType = nodeType;
    r->Path = std::move(path);
    r->Text = std::move(text);
    r->Included = kFlagOn;
    r->Expanded = kFlagOff;
    r->Exists = true;
    return r;
}
}  // namespace

// A folder being visited. Its subfolders are visited from the listing taken when it was
// entered, so each folder is listed once and the walk needs no recursion: a very deep tree
// costs heap, not stack.
struct PathScanner::Frame {
    std::wstring path;
    int32_t ownIndex = 0;
    bool found = false;
    std::vector<DirEntry> subfolders;
    std::size_t next = 0;
    std::optional<FileIdentity> identity;  // fetched only when a link must be checked
    bool identityFetched = false;
};

std::wstring LastPathPart(const std::wstring& path, bool upperCase) {
    std::size_t end = path.size();
    if (end > 0 && path[end - 1] == L'\\') --end;
    const std::size_t slash = path.rfind(L'\\', end == 0 ? 0 : end - 1);
    const std::size_t begin = (slash == std::wstring::npos || slash >= end) ? 0 : slash + 1;
    std::wstring part = path.substr(begin, end - begin);
    return upperCase ? UpperCase(part) : part;
}

bool PathScanner::ScanProjectPath(const std::wstring& startPath) {
    fs_.CheckVolume(startPath);

    auto collection = std::make_shared<ItemCollection>();
    record_ = std::make_shared<clsSaveFile>();
    record_->Altered = true;
    record_->StartPath = startPath;

    sink_.StatusBar_Update(kPanelAction, kStartStatus + startPath);
    const bool found = Walk(*collection, startPath, 0);
    sink_.StatusBar_Update(kPanelAction, kFinishedStatus);
    if (Stopped()) return false;

    state_.DigColl = std::move(collection);
    state_.SaveFile = record_;
    return found;
}

bool PathScanner::ScanFolder(ItemCollection& collection, const std::wstring& folderPath,
                             int32_t parentIndex) {
    record_ = std::make_shared<clsSaveFile>();
    return Walk(collection, folderPath, parentIndex);
}

bool PathScanner::Walk(ItemCollection& collection, const std::wstring& folderPath,
                       int32_t parentIndex) {
    linkTargets_.clear();
    std::vector<Frame> stack;
    if (!EnterFolder(collection, stack, folderPath, parentIndex, true)) return false;

    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next < top.subfolders.size()) {
            const DirEntry& entry = top.subfolders[top.next++];
            std::wstring path = top.path + L"\\" + entry.Name;
            // Only links and mount points can lead back up or to a folder reached before;
            // plain folders need no check, so a tree without links costs nothing here.
            if ((entry.Attributes & kAttrReparsePoint) && SkipLinkTarget(stack, path)) continue;
            const int32_t parent = top.ownIndex;  // `top` dies if the stack grows
            if (!EnterFolder(collection, stack, std::move(path), parent, false) && Stopped())
                return false;
            continue;
        }

        if (Stopped()) return false;
        const bool found = top.found;
        if (found) {
            ++record_->Folder_Count;
        } else {
            // Everything made after this folder's record belonged to folders removed the same
            // way, so its record is the last one and the next record takes over its Index.
            collection.Truncate(top.ownIndex);
        }
        stack.pop_back();
        if (stack.empty()) return found;
        stack.back().found = stack.back().found || found;
    }
    return false;
}

bool PathScanner::EnterFolder(ItemCollection& collection, std::vector<Frame>& stack,
                              std::wstring path, int32_t parentIndex, bool isStart) {
    if (Stopped()) return false;

    const int32_t ownIndex = collection.Count() + 1;
    collection.Add(MakeRecord(ownIndex, parentIndex, kNodeFolder, path, LastPathPart(path, true)));
    sink_.StatusBar_Update(kPanelAction, kFolderStatus + path);
    if (Stopped()) return false;

    std::vector<DirEntry> entries;
    std::wstring error;
    const ListStatus status = fs_.ListFolder(path, entries, &error);
    if (status != ListStatus::Ok) {
        // A folder that vanished or cannot be read is left out whole, so the collection
        // keeps its order, unique keys and indexes equal to positions.
        collection.Truncate(ownIndex);
        if (isStart && status == ListStatus::Failed) throw ProwlError(error);
        return false;
    }

    Frame frame;
    frame.path = std::move(path);
    frame.ownIndex = ownIndex;
    for (auto& entry : entries) {
        if (entry.IsFolder()) {
            frame.subfolders.push_back(std::move(entry));
        } else if (ClassifyFile(ownIndex, collection, entry.Name, frame.path)) {
            frame.found = true;
        }
    }
    stack.push_back(std::move(frame));
    return true;
}

bool PathScanner::SkipLinkTarget(std::vector<Frame>& stack, const std::wstring& path) {
    const auto target = fs_.GetIdentity(path);
    if (!target) return false;  // a dangling link fails its listing and is skipped there
    for (Frame& frame : stack) {
        if (!frame.identityFetched) {
            frame.identity = fs_.GetIdentity(frame.path);
            frame.identityFetched = true;
        }
        if (frame.identity && *frame.identity == *target) return true;
    }
    // Links that fan out to one folder would otherwise multiply the walk beneath it with
    // every level of links: each such folder is entered through a link once per walk.
    return !linkTargets_.insert(*target).second;
}

bool PathScanner::ClassifyFile(int32_t parentIndex, ItemCollection& collection,
                               const std::wstring& name, const std::wstring& folderPath) {
    const std::size_t dot = name.rfind(L'.');
    const std::wstring extension =
        UpperCase(dot == std::wstring::npos ? name : name.substr(dot + 1));
    const wchar_t* nodeType = nullptr;
    if (extension == L"DLL") {
        nodeType = kNodeDll;
        ++record_->DLL_Count;
    } else if (extension == L"OCX") {
        nodeType = kNodeOcx;
        ++record_->OCX_Count;
    } else {
        return false;
    }
    const int32_t index = collection.Count() + 1;
    collection.Add(MakeRecord(index, parentIndex, nodeType, folderPath + L"\\" + name, name));
    return true;
}

}  // namespace prowl
