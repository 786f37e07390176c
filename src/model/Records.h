#pragma once
// The two records every layer works on. Plain value holders: nothing is validated on set,
// because project files edited by hand must round-trip exactly as they were read.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace prowl {

inline constexpr const wchar_t* kNodeFolder = L"1";
inline constexpr const wchar_t* kNodeDll = L"2";
inline constexpr const wchar_t* kNodeOcx = L"3";
inline constexpr const wchar_t* kFlagOn = L"1";
inline constexpr const wchar_t* kFlagOff = L"0";

// Key and Path are a record's identity: collections find records by them through indexes.
// They may be set freely until the record first enters a collection; from then on they are
// fixed, and an assignment that would change them throws std::logic_error, so no index can
// go stale. Nothing in the program renames a record in place: another Key or Path makes
// another record. (The string's own modifiers, append and the like, are not guarded; do not
// use them on a record's identity.)
class IdentityText : public std::wstring {
  public:
    IdentityText() = default;
    IdentityText(std::wstring text) : std::wstring(std::move(text)) {}
    IdentityText(const wchar_t* text) : std::wstring(text) {}
    // A copy belongs to no collection yet.
    IdentityText(const IdentityText& other) : std::wstring(other) {}
    IdentityText& operator=(const IdentityText& other) { return Set(other); }
    IdentityText& operator=(std::wstring text) { return Set(std::move(text)); }
    IdentityText& operator=(std::wstring_view text) { return Set(std::wstring(text)); }
    IdentityText& operator=(const wchar_t* text) { return Set(std::wstring(text)); }
    bool Fixed() const { return fixed_; }

  private:
    friend class ItemCollection;
    IdentityText& Set(std::wstring text);
    bool fixed_ = false;
};
// For diagnostics such as test messages: ASCII as it is, anything else as \uXXXX.
std::ostream& operator<<(std::ostream& out, const IdentityText& text);

struct clsObject {
    int32_t Index = 0;
    int32_t ParentIndex = 0;
    std::wstring NodeType;
    IdentityText Path;
    bool Exists = false;
    IdentityText Key;
    std::wstring Text;
    std::wstring Reference;
    std::wstring Included;
    std::wstring Expanded;
};

struct clsSaveFile {
    std::wstring StartPath;
    std::wstring FileName;
    bool Altered = false;
    int32_t DLL_Count = 0;
    int32_t OCX_Count = 0;
    int32_t Folder_Count = 0;
    int32_t DLL_Missing = 0;
    int32_t OCX_Missing = 0;
    int32_t Folder_Missing = 0;
};

// "K" followed by the decimal index; "K0" is the tree's project node.
std::wstring MakeKey(int32_t index);

}  // namespace prowl
