#pragma once
// Records and states for the project file tests.

#include <gtest/gtest.h>

#include <string>

#include "model/ProjectState.h"

namespace prowl::test {

inline ObjectRef MakeRecord(int32_t index, const std::wstring& nodeType, int32_t parent,
                            const std::wstring& path, const std::wstring& text,
                            const std::wstring& included = L"1",
                            const std::wstring& expanded = L"0") {
    auto r = std::make_shared<clsObject>();
    r->Index = index;
    r->Key = MakeKey(index);
    r->NodeType = nodeType;
    r->ParentIndex = parent;
    r->Path = path;
    r->Reference = MakeKey(parent);
    r->Text = text;
    r->Included = included;
    r->Expanded = expanded;
    r->Exists = true;
    return r;
}

// Every field the file stores, as one line; Exists, which a read works out again, apart.
inline std::wstring Stored(const clsObject& r) {
    return std::to_wstring(r.Index) + L"|" + r.Key + L"|" + r.NodeType + L"|" +
           std::to_wstring(r.ParentIndex) + L"|" + r.Path + L"|" + r.Reference + L"|" + r.Text +
           L"|" + r.Included + L"|" + r.Expanded;
}

inline std::vector<std::wstring> StoredRecords(const ItemCollection& items) {
    std::vector<std::wstring> lines;
    for (const auto& r : items) lines.push_back(Stored(*r));
    return lines;
}

inline std::string Narrow(const std::wstring& ascii) {
    return std::string(ascii.begin(), ascii.end());
}

// Everything a failed command must leave alone: which objects the state holds, and what
// they hold.
class Snapshot {
  public:
    explicit Snapshot(const ProjectState& s)
        : state_(s), copy_(s), saveFile_(*s.SaveFile), records_(StoredRecords(*s.DigColl)) {}
    void ExpectUnchanged() const {
        EXPECT_EQ(state_.DigColl, copy_.DigColl);
        EXPECT_EQ(state_.SaveFile, copy_.SaveFile);
        EXPECT_EQ(state_.PreDigColl, copy_.PreDigColl);
        EXPECT_EQ(state_.PreSaveFile, copy_.PreSaveFile);
        const clsSaveFile& p = *state_.SaveFile;
        EXPECT_EQ(std::make_tuple(p.StartPath, p.FileName, p.Altered, p.DLL_Count, p.OCX_Count,
                                  p.Folder_Count, p.DLL_Missing, p.OCX_Missing, p.Folder_Missing),
                  std::make_tuple(saveFile_.StartPath, saveFile_.FileName, saveFile_.Altered,
                                  saveFile_.DLL_Count, saveFile_.OCX_Count, saveFile_.Folder_Count,
                                  saveFile_.DLL_Missing, saveFile_.OCX_Missing,
                                  saveFile_.Folder_Missing));
        EXPECT_EQ(StoredRecords(*state_.DigColl), records_);
    }

  private:
    const ProjectState& state_;
    ProjectState copy_;
    clsSaveFile saveFile_;
    std::vector<std::wstring> records_;
};

}  // namespace prowl::test
