#pragma once
// The two records every layer works on. Plain value holders: nothing is validated on set,
// because project files edited by hand must round-trip exactly as they were read.

#include <cstdint>
#include <string>

namespace prowl {

inline constexpr const wchar_t* kNodeFolder = L"1";
inline constexpr const wchar_t* kNodeDll = L"2";
inline constexpr const wchar_t* kNodeOcx = L"3";
inline constexpr const wchar_t* kFlagOn = L"1";
inline constexpr const wchar_t* kFlagOff = L"0";

struct clsObject {
    int32_t Index = 0;
    int32_t ParentIndex = 0;
    std::wstring NodeType;
    std::wstring Path;
    bool Exists = false;
    std::wstring Key;
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
