#pragma once
#include "model/FileSystem.h"

namespace prowl::win32 {

class Win32FileSystem : public FileSystem {
  public:
    ListStatus ListFolder(const std::wstring& folder, std::vector<DirEntry>& entries,
                          std::wstring* error) override;
    FileLookup LookUpFile(const std::wstring& path, std::wstring* error) override;
    std::optional<uint32_t> GetAttributes(const std::wstring& path) override;
    bool FileExists(const std::wstring& path) override;
    bool FolderExists(const std::wstring& path) override;
    std::optional<FileIdentity> GetIdentity(const std::wstring& path) override;
    void CheckVolume(const std::wstring& path) override;
    FileDetails GetFile(const std::wstring& path) override;
    std::string ReadAllBytes(const std::wstring& path) override;
    void ReplaceFileContents(const std::wstring& path, const std::string& bytes) override;
    std::unique_ptr<FileReplacement> BeginReplaceFile(const std::wstring& path) override;
};

}  // namespace prowl::win32
