#pragma once
#include "model/RegistryReader.h"

namespace prowl::win32 {

// Every key is opened with KEY_READ (and the view's WOW64 flag), never more.
class Win32RegistryReader final : public RegistryReader {
  public:
    std::unique_ptr<RegistryKey> Open(RegistryRoot root, const std::wstring& path,
                                      RegistryView view) override;
};

}  // namespace prowl::win32
