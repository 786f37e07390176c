#pragma once
// The real file system, with the faults a test asks for: listings that fail (at once or after
// some entries), listings that hand out subfolders before files, and writes that fail.

#include <algorithm>
#include <map>
#include <memory>

#include "model/ProwlError.h"
#include "win32/FileSystem_win.h"

namespace prowl::test {

class FaultyFileSystem : public win32::Win32FileSystem {
  public:
    struct ListingFault {
        ListStatus status = ListStatus::Failed;
        std::size_t entriesBefore = 0;  // what the listing returned before it failed
    };
    std::map<std::wstring, ListingFault> listingFaults;  // by the folder path as asked for
    bool foldersFirst = false;
    int writesBeforeFailure = -1;  // of each replacement; -1: none fails

    ListStatus ListFolder(const std::wstring& folder, std::vector<DirEntry>& entries,
                          std::wstring* error) override {
        const ListStatus status = Win32FileSystem::ListFolder(folder, entries, error);
        if (foldersFirst)
            std::stable_partition(entries.begin(), entries.end(),
                                  [](const DirEntry& e) { return e.IsFolder(); });
        const auto fault = listingFaults.find(folder);
        if (fault == listingFaults.end()) return status;
        entries.resize(std::min(entries.size(), fault->second.entriesBefore));
        if (error) *error = L"Access is denied.";
        return fault->second.status;
    }

    std::unique_ptr<FileReplacement> BeginReplaceFile(const std::wstring& path) override {
        struct Failing final : FileReplacement {
            std::unique_ptr<FileReplacement> real;
            int writesLeft;
            void Write(std::string_view bytes) override {
                if (writesLeft-- == 0) throw ProwlError(L"There is not enough space on the disk.");
                real->Write(bytes);
            }
            void Commit() override { real->Commit(); }
        };
        auto real = Win32FileSystem::BeginReplaceFile(path);
        if (writesBeforeFailure < 0) return real;
        auto failing = std::make_unique<Failing>();
        failing->real = std::move(real);
        failing->writesLeft = writesBeforeFailure;
        return failing;
    }
};

}  // namespace prowl::test
