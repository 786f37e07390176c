#include "win32/ComponentFile_win.h"

#include <windows.h>

#include "model/SystemPath.h"
#include "win32/Handles.h"

namespace prowl::win32 {

namespace {

class FileBytes final : public ByteSource {
  public:
    FileBytes(FileHandle file, uint64_t size) : file_(std::move(file)), size_(size) {}

    uint64_t Size() const override { return size_; }

    bool Read(uint64_t offset, void* buffer, std::size_t length) override {
        auto* out = static_cast<char*>(buffer);
        while (length > 0) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(file_.get(), out, chunk, &got, &at) || got == 0) return false;
            out += got, offset += got, length -= got;
        }
        return true;
    }

  private:
    FileHandle file_;
    uint64_t size_;
};

}  // namespace

std::unique_ptr<ByteSource> Win32ComponentFiles::Open(const std::wstring& path) {
    FileHandle file(CreateFileW(ToSystemPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size)) return nullptr;
    return std::make_unique<FileBytes>(std::move(file), static_cast<uint64_t>(size.QuadPart));
}

bool Win32ComponentFiles::FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ToSystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> Win32ComponentFiles::FoldersStartingWith(const std::wstring& folder,
                                                                   const std::wstring& prefix,
                                                                   std::size_t limit) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const FindHandle find(FindFirstFileExW(ToSystemPath(folder + L"\\" + prefix + L"*").c_str(),
                                           FindExInfoBasic, &data, FindExSearchLimitToDirectories,
                                           nullptr, 0));
    if (!find) return names;
    const auto length = static_cast<int>(prefix.size());
    do {
        // The pattern may also match a short name, and the search may return files.
        const std::wstring name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() >= prefix.size() &&
            CompareStringOrdinal(name.c_str(), length, prefix.c_str(), length, TRUE) == CSTR_EQUAL)
            names.push_back(name);
    } while (names.size() < limit && FindNextFileW(find.get(), &data));
    return names;
}

}  // namespace prowl::win32
