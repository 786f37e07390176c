#pragma once
// What inspection needs from the disk: a component's bytes, read at offsets, and whether a
// file of a given name is there. Inspection only ever reads, and never locks a file against
// other programs (the Win32 implementation opens with read, write and delete sharing).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace prowl {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Fills exactly `length` bytes from `offset`; false when they cannot all be read. Callers
    // keep within Size(): asking past the end is their fault, not a way to find the end.
    virtual bool Read(uint64_t offset, void* buffer, std::size_t length) = 0;
};

class ComponentFiles {
  public:
    virtual ~ComponentFiles() = default;
    // Null when the path names no file that can be opened for reading.
    virtual std::unique_ptr<ByteSource> Open(const std::wstring& path) = 0;
    // True for a file, whatever its attributes; false for a folder or nothing.
    virtual bool FileExists(const std::wstring& path) = 0;
    // The names of the folders in the folder that begin with the prefix (compared without
    // case), at most `limit` of them, in no particular order; none when it cannot be listed.
    virtual std::vector<std::wstring> FoldersStartingWith(const std::wstring& folder,
                                                          const std::wstring& prefix,
                                                          std::size_t limit) = 0;
};

}  // namespace prowl
