#pragma once
// The real file system, with writes that fail as a full disk does.

#include <memory>

#include "model/ProwlError.h"
#include "win32/FileSystem_win.h"

namespace prowl::test {

class FaultyFileSystem : public win32::Win32FileSystem {
  public:
    int writesBeforeFailure = -1;  // of each replacement; -1: none fails

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
