#pragma once
// Every disk access of the program goes through this interface. The Win32 implementation
// lives in src/win32; tests inject faults with in-memory doubles.

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace prowl {

inline constexpr uint32_t kAttrReadOnly = 0x1;
inline constexpr uint32_t kAttrHidden = 0x2;
inline constexpr uint32_t kAttrSystem = 0x4;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrReparsePoint = 0x400;

struct DirEntry {
    std::wstring Name;
    uint32_t Attributes = 0;
    bool IsFolder() const { return (Attributes & kAttrDirectory) != 0; }
};

enum class ListStatus {
    Ok,
    NotFound,  // the folder is not there (any more): nothing to list, not a failure
    Failed,    // access denied, a file where the folder was, device error: incomplete
};

enum class FileLookup { Present, Absent, CannotExamine };

// Identifies a folder independently of the name it was reached by (links, junctions).
struct FileIdentity {
    uint64_t Volume = 0;
    uint64_t FileIndex = 0;
    friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

// Times are UTC, in 100-nanosecond ticks since 1601-01-01 (the platform's file time).
struct FileDetails {
    uint64_t Size = 0;
    uint64_t DateCreated = 0;
    uint64_t DateLastAccessed = 0;
    uint64_t DateLastModified = 0;
    std::wstring Type;
};

// A file's new contents written in pieces: they go to a temporary file beside the target,
// under a name no file had, and Commit flushes it and only then puts it in the target's
// place, with the target's attributes. Whatever fails, the target stays as it was and no
// temporary file is left. A read-only target is refused. Write and Commit throw ProwlError.
class FileReplacement {
  public:
    virtual ~FileReplacement() = default;
    virtual void Write(std::string_view bytes) = 0;
    virtual void Commit() = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // One independent listing of a folder: every entry that is neither hidden nor system,
    // without "." and "..", in the platform's order. Listings may be nested freely.
    virtual ListStatus ListFolder(const std::wstring& folder, std::vector<DirEntry>& entries,
                                  std::wstring* error) = 0;

    // Is there an ordinary file (not hidden, not system, not a folder) at the path?
    virtual FileLookup LookUpFile(const std::wstring& path, std::wstring* error) = 0;

    virtual std::optional<uint32_t> GetAttributes(const std::wstring& path) = 0;
    virtual bool FileExists(const std::wstring& path) = 0;    // true only for a file
    virtual bool FolderExists(const std::wstring& path) = 0;  // true only for a folder
    virtual std::optional<FileIdentity> GetIdentity(const std::wstring& path) = 0;

    // Throws ProwlError with the system's description when the drive (or share) that holds
    // the path does not exist or is not ready. A missing folder on a good drive is fine.
    virtual void CheckVolume(const std::wstring& path) = 0;

    // Throws ProwlError with the system's description for a missing file or a folder.
    virtual FileDetails GetFile(const std::wstring& path) = 0;

    // Whole-file reads and safe replacement, for the project file. Both throw ProwlError.
    virtual std::string ReadAllBytes(const std::wstring& path) = 0;
    // The whole contents at once, replaced as FileReplacement does it.
    virtual void ReplaceFileContents(const std::wstring& path, const std::string& bytes) = 0;
    // The same replacement, for contents too large to want whole in memory. By default the
    // pieces are gathered and handed to ReplaceFileContents at Commit.
    virtual std::unique_ptr<FileReplacement> BeginReplaceFile(const std::wstring& path);
};

}  // namespace prowl
