#pragma once
// A whole project as one text, to compare at once: the start path, the file name, "altered"
// when it is, the folder, DLL and OCX counts, then the missing ones; then one line per record,
// its fields in the project file's order and "exists" when it does, with `root` left off the
// front of its path.

#include <string>

#include "model/ProjectState.h"

namespace prowl::test {

inline std::wstring Describe(const ProjectState& s, const std::wstring& root = L"") {
    const clsSaveFile& p = *s.SaveFile;
    std::wstring out = p.StartPath + L"|" + p.FileName + (p.Altered ? L"|altered" : L"|");
    for (int32_t n :
         {p.Folder_Count, p.DLL_Count, p.OCX_Count, p.Folder_Missing, p.DLL_Missing, p.OCX_Missing})
        out += L" " + std::to_wstring(n);
    for (const auto& r : *s.DigColl)
        out += L"\n" + std::to_wstring(r->Index) + L"|" + r->Key + L"|" + r->NodeType + L"|" +
               std::to_wstring(r->ParentIndex) + L"|" + r->Path.substr(root.size()) + L"|" +
               r->Reference + L"|" + r->Text + L"|" + r->Included + L"|" + r->Expanded +
               (r->Exists ? L"|exists" : L"");
    return out;
}

}  // namespace prowl::test
