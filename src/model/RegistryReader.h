#pragma once
// Read-only access to the registry: finding the system information tool and reading what
// is registered. Nothing in the program writes the registry itself (registering is the
// utility's work), so there is no write access here at all.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace prowl {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };

// Which half of a 64-bit registry to read: the caller's own, or explicitly the 64-bit or the
// 32-bit one (where 32-bit components register).
enum class RegistryView { Native, Bits64, Bits32 };

inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;

struct RegistryValue {
    uint32_t type = 0;
    std::string data;  // the bytes as stored (text values in UTF-16, with their NUL if stored)
};

class RegistryKey {
  public:
    virtual ~RegistryKey() = default;
    virtual std::vector<std::wstring> SubkeyNames() const = 0;
    // Null when there is no such subkey or it cannot be read.
    virtual std::unique_ptr<RegistryKey> OpenSubkey(const std::wstring& path) const = 0;
    // "" names the key's default value. Empty when the value is absent or cannot be read.
    virtual std::optional<RegistryValue> QueryValue(const std::wstring& name) const = 0;
};

class RegistryReader {
  public:
    virtual ~RegistryReader() = default;
    // Null when the key is absent or cannot be opened for reading.
    virtual std::unique_ptr<RegistryKey> Open(RegistryRoot root, const std::wstring& path,
                                              RegistryView view = RegistryView::Native) = 0;
};

}  // namespace prowl
