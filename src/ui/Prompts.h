#pragma once
// Modal questions the logic asks the user. Each call returns only after the user answered;
// the window (owner) takes no commands meanwhile.

#include <cstdint>
#include <optional>
#include <string>

namespace prowl {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
// NotShown: the box could not be shown at all, so nobody answered. Commands ask through
// MainWindowLogic::Ask, which takes that as Cancel.
enum class MsgAnswer { Ok, Cancel, Yes, No, NotShown };

struct MessageBoxRequest {
    std::wstring text;
    std::wstring title;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    int32_t defaultButton = 1;  // 1-based among the buttons as shown
};

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    std::wstring filter;  // "Description|pattern" pairs separated by '|'
    std::wstring title;
    std::wstring initialFolder;
    // Absent: the dialog offers the name it returned last time (empty on the first use).
    std::optional<std::wstring> initialFileName;
};

struct FileDialogResult {
    enum class Outcome { Chosen, Cancelled, Failed };
    Outcome outcome = Outcome::Cancelled;
    std::wstring fileName;  // full path when Chosen
};

class Prompts {
  public:
    virtual ~Prompts() = default;
    virtual MsgAnswer ShowMessage(const MessageBoxRequest& request) = 0;
    virtual FileDialogResult ShowFileDialog(const FileDialogRequest& request) = 0;
};

}  // namespace prowl
