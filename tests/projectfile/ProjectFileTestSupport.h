#pragma once
// Real folders under the system's temporary folder, a status sink that records every call,
// and small builders for records and states.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/ProjectState.h"
#include "model/StatusSink.h"

namespace prowl::testing {

struct StatusCall {
    enum Kind { Status, Show, Increment } kind;
    int32_t number = 0;  // panel, maximum or amount
    bool visible = false;
    std::wstring text;
    friend bool operator==(const StatusCall&, const StatusCall&) = default;
};

class RecordingStatusSink : public StatusSink {
  public:
    void StatusBar_Update(int32_t SBIndex, const std::wstring& aString) override {
        calls.push_back({StatusCall::Status, SBIndex, false, aString});
        if (onEvents) onEvents();
    }
    void ProgressBar_Show(bool isVisible, int32_t Max) override {
        calls.push_back({StatusCall::Show, Max, isVisible, {}});
        if (onEvents) onEvents();
    }
    void ProgressBar_Increment(int32_t Amount) override {
        calls.push_back({StatusCall::Increment, Amount, false, {}});
        if (onEvents) onEvents();
    }

    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> out;
        for (const auto& c : calls)
            if (c.kind == StatusCall::Status)
                out.push_back(std::to_wstring(c.number) + L":" + c.text);
        return out;
    }
    int32_t Increments() const {
        int32_t sum = 0;
        for (const auto& c : calls)
            if (c.kind == StatusCall::Increment) sum += c.number;
        return sum;
    }
    // The bar's visibility after the last Show call.
    bool BarVisible() const {
        bool visible = false;
        for (const auto& c : calls)
            if (c.kind == StatusCall::Show) visible = c.visible;
        return visible;
    }

    std::vector<StatusCall> calls;
    // Stands for the window processing its pending events inside every call.
    std::function<void()> onEvents;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, base);
        static int serial = 0;
        path_ = std::wstring(base) + L"prowl-pf-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++serial);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring child = folder + L"\\" + name;
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else
                    DeleteFileW(child.c_str());
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }

  private:
    std::wstring path_;
};

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

inline std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

inline void MakeFolder(const std::wstring& path) { CreateDirectoryW(path.c_str(), nullptr); }
inline void MakeFile(const std::wstring& path) { WriteBytes(path, "MZ"); }

inline ObjectRef MakeRecord(int32_t index, const std::wstring& nodeType, int32_t parent,
                            const std::wstring& path, const std::wstring& text,
                            const std::wstring& included = L"1",
                            const std::wstring& expanded = L"0") {
    auto r = std::make_shared<clsObject>();
    r->Index = index;
    r->Key = L"K" + std::to_wstring(index);
    r->NodeType = nodeType;
    r->ParentIndex = parent;
    r->Path = path;
    r->Reference = L"K" + std::to_wstring(parent);
    r->Text = text;
    r->Included = included;
    r->Expanded = expanded;
    r->Exists = true;
    return r;
}

// Every field the file stores, Exists aside, which a read recomputes.
inline bool SameStoredFields(const clsObject& a, const clsObject& b) {
    return a.Index == b.Index && a.Key == b.Key && a.NodeType == b.NodeType &&
           a.ParentIndex == b.ParentIndex && a.Path == b.Path && a.Reference == b.Reference &&
           a.Text == b.Text && a.Included == b.Included && a.Expanded == b.Expanded;
}

inline std::string Narrow(const std::wstring& ascii) {
    return std::string(ascii.begin(), ascii.end());
}

}  // namespace prowl::testing
