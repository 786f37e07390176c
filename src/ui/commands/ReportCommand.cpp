#include "ui/commands/ReportCommand.h"

#include "inspect/RegistrationIndex.h"
#include "model/ProwlError.h"
#include "projectfile/Report.h"
#include "ui/MainWindowLogic.h"
#include "ui/commands/ChooseFileToWrite.h"
#include "ui/dialogs/DetailsDialogs.h"

namespace prowl {
namespace {

// The text after the last backslash, with the backslashes that end it dropped.
std::wstring LastName(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

std::wstring SuggestedReportName(const clsSaveFile& project) {
    std::wstring name;
    if (!project.FileName.empty()) {
        name = LastName(project.FileName);
        const std::size_t dot = name.rfind(L'.');
        if (dot != std::wstring::npos && dot != 0) name.resize(dot);
    } else {
        name = LastName(project.StartPath);
    }
    if (name.empty() || name.find(L':') != std::wstring::npos) name = L"ActiveX Prowl Report";
    return name + L".csv";
}

void ReportCommand::ExportReport() {
    ProjectState& state = window_.State();
    if (!state.SaveFile) state.SaveFile = std::make_shared<clsSaveFile>();
    if (!state.DigColl) state.DigColl = std::make_shared<ItemCollection>();
    // The report is of the project in hand now, whatever a command taken meanwhile installs.
    const CollectionRef records = state.DigColl;

    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.filter = kReportFilter;
    request.title = kReportDialogTitle;
    request.initialFolder = state.SaveFile->FileName.empty() ? services_.programFolder
                                                             : FolderOf(state.SaveFile->FileName);
    request.initialFileName = SuggestedReportName(*state.SaveFile);
    const auto chosen =
        ChooseFileToWrite(window_, services_.files, request, L"Replace Report File?");
    if (!chosen) return;
    const std::wstring& fileName = *chosen;

    window_.SetPointer(kPointerHourglass);
    try {
        // One registry walk for the whole report; the window is let breathe after it.
        const RegistrationIndex index =
            RegistrationIndex::Build(services_.registry, services_.system);
        window_.ProcessPendingMessages();
        WriteReport(*records, {services_.files, services_.components, services_.system, index},
                    window_, fileName);
    } catch (const ProwlError& e) {
        window_.SetPointer(kPointerArrow);
        MessageBoxRequest box;
        box.text = kReportErrorText + e.message();
        box.title = kFileErrorTitle;
        box.icon = MsgIcon::Critical;
        window_.Ask(box);
    }
}

}  // namespace prowl
