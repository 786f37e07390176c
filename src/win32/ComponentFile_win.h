#pragma once
#include "inspect/ComponentFiles.h"

namespace prowl::win32 {

// Files opened for reading only, sharing read, write and delete, so that inspecting a
// component never stands in the way of a program that installs, replaces or removes it.
class Win32ComponentFiles final : public ComponentFiles {
  public:
    std::unique_ptr<ByteSource> Open(const std::wstring& path) override;
    bool FileExists(const std::wstring& path) override;
    std::vector<std::wstring> FoldersStartingWith(const std::wstring& folder,
                                                  const std::wstring& prefix,
                                                  std::size_t limit) override;
};

}  // namespace prowl::win32
