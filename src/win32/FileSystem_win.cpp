#include "win32/FileSystem_win.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>

#include "model/SystemPath.h"
#include "win32/Handles.h"
#include "win32/SystemError.h"

namespace prowl::win32 {

namespace {

constexpr DWORD kNotOrdinary =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

void SetError(std::wstring* error, DWORD code) {
    if (error != nullptr) *error = SystemErrorText(code);
}

uint64_t Ticks(const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// The root that must be present for anything below it to be reachable: "X:\" or
// "\\server\share\". Empty when the path has neither form.
std::wstring VolumeRoot(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':' && iswalpha(path[0])) return path.substr(0, 2) + L"\\";
    if (path.rfind(L"\\\\", 0) == 0 && path.rfind(L"\\\\?\\", 0) != 0) {
        const std::size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos) return {};
        const std::size_t share = path.find(L'\\', server + 1);
        return (share == std::wstring::npos ? path : path.substr(0, share)) + L"\\";
    }
    return {};
}

// Zero when the drive or share that holds the path is there and ready, else the error.
DWORD VolumeError(const std::wstring& path) {
    const std::wstring root = VolumeRoot(path);
    if (root.empty()) return 0;
    if (root[1] == L':' && GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR)
        return ERROR_INVALID_DRIVE;
    if (GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES) return GetLastError();
    return 0;
}

}  // namespace

ListStatus Win32FileSystem::ListFolder(const std::wstring& folder, std::vector<DirEntry>& entries,
                                       std::wstring* error) {
    entries.clear();
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileExW(ToSystemPath(folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD code = GetLastError();
        // A root without entries has no "." either, so the search finds nothing at all.
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES) return ListStatus::Ok;
        if (code == ERROR_PATH_NOT_FOUND || code == ERROR_DIRECTORY) {
            // A file where a folder was expected is there, only not listable.
            if (!FileExists(folder)) return ListStatus::NotFound;
            SetError(error, ERROR_DIRECTORY);
            return ListStatus::Failed;
        }
        SetError(error, code);
        return ListStatus::Failed;
    }
    do {
        if (IsDotEntry(data.cFileName)) continue;
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        entries.push_back(DirEntry{data.cFileName, data.dwFileAttributes});
    } while (FindNextFileW(find.get(), &data));
    const DWORD code = GetLastError();
    if (code != ERROR_NO_MORE_FILES) {
        SetError(error, code);
        return ListStatus::Failed;
    }
    return ListStatus::Ok;
}

FileLookup Win32FileSystem::LookUpFile(const std::wstring& path, std::wstring* error) {
    const DWORD attributes = GetFileAttributesW(ToSystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD code = GetLastError();
        // The system says "not found" for a drive that is not there at all too, which is
        // not an absent file but a path that cannot be examined.
        if ((code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) &&
            (code = VolumeError(path)) == 0)
            return FileLookup::Absent;
        SetError(error, code);
        return FileLookup::CannotExamine;
    }
    return (attributes & kNotOrdinary) ? FileLookup::Absent : FileLookup::Present;
}

std::optional<uint32_t> Win32FileSystem::GetAttributes(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ToSystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

bool Win32FileSystem::FileExists(const std::wstring& path) {
    const auto attributes = GetAttributes(path);
    return attributes && !(*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::FolderExists(const std::wstring& path) {
    const auto attributes = GetAttributes(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<FileIdentity> Win32FileSystem::GetIdentity(const std::wstring& path) {
    // Without FILE_FLAG_OPEN_REPARSE_POINT the handle is the link's target, which is the point.
    FileHandle file(CreateFileW(ToSystemPath(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

void Win32FileSystem::CheckVolume(const std::wstring& path) {
    if (const DWORD code = VolumeError(path)) ThrowSystemError(code);
}

FileDetails Win32FileSystem::GetFile(const std::wstring& path) {
    const std::wstring systemPath = ToSystemPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(systemPath.c_str(), GetFileExInfoStandard, &data))
        ThrowSystemError(GetLastError());
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ThrowSystemError(ERROR_FILE_NOT_FOUND);

    FileDetails details;
    details.Size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    details.DateCreated = Ticks(data.ftCreationTime);
    details.DateLastAccessed = Ticks(data.ftLastAccessTime);
    details.DateLastModified = Ticks(data.ftLastWriteTime);
    SHFILEINFOW shell{};
    if (SHGetFileInfoW(path.c_str(), data.dwFileAttributes, &shell, sizeof shell,
                       SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES))
        details.Type = shell.szTypeName;
    return details;
}

std::string Win32FileSystem::ReadAllBytes(const std::wstring& path) {
    FileHandle file(CreateFileW(ToSystemPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) ThrowSystemError(GetLastError());
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.get(), &info)) ThrowSystemError(GetLastError());
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ThrowSystemError(ERROR_ACCESS_DENIED);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) ThrowSystemError(GetLastError());
    if (size.QuadPart > 0x7FFFFFFF) ThrowSystemError(ERROR_FILE_TOO_LARGE);

    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                      &got, nullptr))
            ThrowSystemError(GetLastError());
        if (got == 0) break;  // the file shrank under us; take what is there
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

namespace {

// What a replaced file hands on to its successor. Read-only never gets this far.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// A new file beside `path` under a name no file has yet: CREATE_NEW refuses an existing one,
// whoever made it. `name` receives the name, in the system's form.
FileHandle CreateUnique(const std::wstring& path, std::wstring& name) {
    for (unsigned n = 0;; ++n) {
        name = ToSystemPath(path + L".~" + std::to_wstring(n) + L".tmp");
        FileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return file;
        const DWORD code = GetLastError();
        if ((code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) || n == 999)
            ThrowSystemError(code);
    }
}

class Win32FileReplacement final : public FileReplacement {
  public:
    explicit Win32FileReplacement(std::wstring path)
        : path_(std::move(path)), target_(ToSystemPath(path_)) {
        file_ = CreateUnique(path_, temp_);
    }
    ~Win32FileReplacement() override {
        if (settled_) return;
        file_.reset();
        DeleteFileW(temp_.c_str());
    }

    void Write(std::string_view bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const DWORD chunk =
                static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(file_.get(), bytes.data() + done, chunk, &written, nullptr) ||
                written == 0)
                ThrowSystemError(GetLastError());
            done += written;
        }
    }

    void Commit() override {
        if (!FlushFileBuffers(file_.get())) ThrowSystemError(GetLastError());
        file_.reset();
        const DWORD old = GetFileAttributesW(target_.c_str());
        if (old != INVALID_FILE_ATTRIBUTES) {
            Swap(old);
        } else if (!MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_WRITE_THROUGH)) {
            ThrowSystemError(GetLastError());
        }
        settled_ = true;
    }

  private:
    // Puts the new file in the old one's place with the platform's replace call, which on
    // Windows keeps the old file's security too. It gets a backup name of our own: without
    // one, Wine's call leaves a file of its own behind when it fails.
    void Swap(DWORD old) {
        if (old & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
            ThrowSystemError(ERROR_ACCESS_DENIED);
        // The new file takes the old one's attributes first: Wine's replace call copies none.
        if (!SetFileAttributesW(temp_.c_str(), (old & kKeptAttributes) | FILE_ATTRIBUTE_NORMAL))
            ThrowSystemError(GetLastError());
        std::wstring backup;
        CreateUnique(path_, backup);
        if (ReplaceFileW(target_.c_str(), temp_.c_str(), backup.c_str(),
                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            DeleteFileW(backup.c_str());
            return;
        }
        const DWORD code = GetLastError();
        // Some failures have moved the old file to the backup name already: put it back.
        if (GetFileAttributesW(target_.c_str()) == INVALID_FILE_ATTRIBUTES &&
            !MoveFileExW(backup.c_str(), target_.c_str(), 0))
            throw ProwlError(SystemErrorText(code) + L" The previous file is kept as " + backup +
                             L".");
        DeleteFileW(backup.c_str());
        ThrowSystemError(code);
    }

    std::wstring path_;
    std::wstring target_;
    std::wstring temp_;
    FileHandle file_;
    bool settled_ = false;  // the temporary file is the target now
};

}  // namespace

std::unique_ptr<FileReplacement> Win32FileSystem::BeginReplaceFile(const std::wstring& path) {
    // Replacing by rename would quietly defeat a read-only mark; refuse as a write would.
    const DWORD existing = GetFileAttributesW(ToSystemPath(path).c_str());
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        ThrowSystemError(ERROR_ACCESS_DENIED);
    return std::make_unique<Win32FileReplacement>(path);
}

void Win32FileSystem::ReplaceFileContents(const std::wstring& path, const std::string& bytes) {
    const auto replacement = BeginReplaceFile(path);
    replacement->Write(bytes);
    replacement->Commit();
}

}  // namespace prowl::win32
