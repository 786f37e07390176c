#pragma once
// A file system with nothing on it, for doubles that override only what they are about.

#include "model/FileSystem.h"

namespace prowl::test {

class EmptyFileSystem : public FileSystem {
  public:
    ListStatus ListFolder(const std::wstring&, std::vector<DirEntry>&, std::wstring*) override {
        return ListStatus::NotFound;
    }
    FileLookup LookUpFile(const std::wstring&, std::wstring*) override {
        return FileLookup::Absent;
    }
    std::optional<uint32_t> GetAttributes(const std::wstring&) override { return std::nullopt; }
    bool FileExists(const std::wstring&) override { return false; }
    bool FolderExists(const std::wstring&) override { return false; }
    std::optional<FileIdentity> GetIdentity(const std::wstring&) override { return std::nullopt; }
    void CheckVolume(const std::wstring&) override {}
    FileDetails GetFile(const std::wstring&) override { return {}; }
    std::string ReadAllBytes(const std::wstring&) override { return {}; }
    void ReplaceFileContents(const std::wstring&, const std::string&) override {}
};

}  // namespace prowl::test
