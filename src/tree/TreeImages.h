#pragma once
// The pictures of the project tree, by key: which one a node shows is a rule of the tree,
// not of the window, so it lives here; the Win32 image list only draws them in this order.

#include <string>
#include <vector>

#include "model/Records.h"

namespace prowl {

inline constexpr const wchar_t* kImageFolder = L"A";
inline constexpr const wchar_t* kImageDll = L"B";
inline constexpr const wchar_t* kImageOcx = L"C";
inline constexpr const wchar_t* kImageFolderMissing = L"D";
inline constexpr const wchar_t* kImageDllMissing = L"E";
inline constexpr const wchar_t* kImageOcxMissing = L"F";

// Every key in image list order: folder, DLL, OCX, then each marked missing.
const std::vector<std::wstring>& TreeImageKeys();

// The key for a record by its NodeType and Exists; "" for a NodeType the tree does not know.
std::wstring ChooseImage(const clsObject& record);

}  // namespace prowl
