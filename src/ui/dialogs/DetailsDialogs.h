#pragma once
// frmFileDetails and frmProjectDetails: read-only facts in rows of a bold caption and its
// values, in groups parted by thin bars. Each row is one entry of a table, so a row added
// below a bar is a line there and a line where its value is filled.

#include <cstdint>
#include <string>
#include <vector>

#include "model/FileSystem.h"
#include "model/Records.h"
#include "ui/dialogs/LocaleFormat.h"
#include "ui/dialogs/ModalDialog.h"

namespace prowl {

inline constexpr const wchar_t* kFileErrorTitle = L"ActiveX Prowl - File Error";

struct DetailsRow {
    const wchar_t* caption = nullptr;  // null: a separator bar instead of a row
    const wchar_t* value = nullptr;    // the value label's name
    const wchar_t* missing = nullptr;  // a second value beside it, if any
    int32_t lines = 1;
};

class DetailsDialog : public ModalDialog {
  protected:
    DetailsDialog(std::wstring form, std::wstring caption, const std::vector<DetailsRow>& rows,
                  Prompts* prompts = nullptr);

  private:
    void OnClick(const std::wstring& name) override;
};

class FileDetailsDialog final : public DetailsDialog {
  public:
    FileDetailsDialog(FileSystem& files, LocaleFormat& locale, Prompts& prompts);
    // true when the file could not be read: the user has been told, and the dialog is not
    // to be shown. false when the labels are filled.
    bool Init(const std::wstring& aFileName);

  private:
    FileSystem& files_;
    LocaleFormat& locale_;
};

class ProjectDetailsDialog final : public DetailsDialog {
  public:
    ProjectDetailsDialog();
    void Init(const clsSaveFile& SaveFile);
};

}  // namespace prowl
