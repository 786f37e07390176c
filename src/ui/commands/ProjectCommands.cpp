#include "ui/commands/ProjectCommands.h"

#include "model/ProwlError.h"
#include "projectfile/ProjectFile.h"
#include "scan/PathScanner.h"
#include "ui/MainWindowLogic.h"
#include "ui/commands/ChooseFileToWrite.h"
#include "ui/dialogs/FolderChooser.h"

namespace prowl {

namespace {
const wchar_t* const kScanAttempt = L"scan the start path";
const wchar_t* const kOpenAttempt = L"open the project file";
const wchar_t* const kSaveAttempt = L"save the project file";
const wchar_t* const kDialogFailed = L"The file dialog could not be shown.";

FileDialogRequest ProjectFileDialog(FileDialogKind kind, const ProgramServices& services) {
    FileDialogRequest request;
    request.kind = kind;
    request.filter = kProjectFileFilter;
    request.title = kind == FileDialogKind::Open ? kOpenDialogTitle : kSaveDialogTitle;
    request.initialFolder = services.programFolder;
    return request;
}
}  // namespace

void ProjectCommands::NewProject() {
    if (Refused() || !OfferToSave()) return;
    FolderChooser chooser(services_.drives, services_.files, window_.Controls().prompts);
    services_.dialogs.ShowModal(chooser);
    ScanNewProject(chooser.Folder());
}

void ProjectCommands::NewProjectAt(const std::wstring& folder) {
    if (Refused() || !OfferToSave()) return;
    ScanNewProject(folder);
}

void ProjectCommands::OpenProject() {
    if (Refused() || !OfferToSave()) return;
    const FileDialogResult chosen = window_.Controls().prompts.ShowFileDialog(
        ProjectFileDialog(FileDialogKind::Open, services_));
    if (chosen.outcome == FileDialogResult::Outcome::Failed)
        ReportFileError(kOpenAttempt, kDialogFailed);
    if (chosen.outcome == FileDialogResult::Outcome::Chosen) LoadProject(chosen.fileName);
}

void ProjectCommands::OpenProjectPath(const std::wstring& path) {
    if (Refused() || !OfferToSave()) return;
    LoadProject(path);
}

bool ProjectCommands::SaveProject() {
    if (Refused()) return false;
    ProjectState& state = window_.State();
    FileDialogRequest request = ProjectFileDialog(FileDialogKind::Save, services_);
    request.initialFileName = state.SaveFile ? state.SaveFile->FileName : L"";
    const auto chosen = ChooseFileToWrite(window_, services_.files, request, L"Replace Save File?",
                                          [this] { ReportFileError(kSaveAttempt, kDialogFailed); });
    if (!chosen) return false;
    const std::wstring& fileName = *chosen;

    window_.SetPointer(kPointerHourglass);
    const uint64_t generation = window_.BeginSave();
    try {
        // The writer's progress lets messages through; nothing may start meanwhile.
        MainWindowLogic::BusyScope busy(window_);
        SaveProjectFile(state, services_.files, window_, fileName);
    } catch (const ProwlError& e) {
        window_.SetPointer(kPointerArrow);
        ReportFileError(kSaveAttempt, e.message());
        return false;
    }
    window_.StatusBar_Update(kPanelSourceFile, state.SaveFile->FileName);
    window_.SetPointer(kPointerArrow);
    window_.SaveSucceeded(generation);
    return true;
}

bool ProjectCommands::CanClose() { return OfferToSave(); }

bool ProjectCommands::Refused() {
    if (!window_.ProjectCommandsLocked()) return false;
    window_.Controls().window.Beep();
    return true;
}

bool ProjectCommands::OfferToSave() {
    // The project holds unsaved changes exactly while Save is enabled.
    if (!window_.MenuItem(L"mnuFileSave").enabled) return true;
    MessageBoxRequest ask;
    ask.text = L"Save changes to current project?";
    ask.title = L"Save Changes?";
    ask.buttons = MsgButtons::YesNo;
    switch (window_.Ask(ask)) {
        case MsgAnswer::Yes:
            return SaveProject();
        case MsgAnswer::No:
            return true;
        default:
            return false;
    }
}

void ProjectCommands::ScanNewProject(const std::wstring& folder) {
    ProjectState& state = window_.State();
    window_.SetPointer(kPointerArrowHourglass);
    window_.SetProcess(kProcessNewScan);
    if (!folder.empty()) {
        bool found = false;
        try {
            found = PathScanner(state, services_.files, window_).ScanProjectPath(folder);
        } catch (const ProwlError& e) {
            // Thrown before the scan changed anything: the previous project stays, named.
            window_.SetProcess(kProcessIdle);
            window_.SetPointer(kPointerArrow);
            ReportFileError(kScanAttempt, e.message());
            return;
        }
        // A Stop can also be taken while the source panel is drawn.
        if (state.ProcessMode == kProcessNewScan)
            window_.StatusBar_Update(kPanelSourceFile, state.SaveFile->FileName);
        if (state.ProcessMode != kProcessNewScan) {
            window_.StatusBar_Update(kPanelAction, L"Process Stopped");
            window_.StatusBar_Update(kPanelSourceFile, L" ");
            window_.ProjectTree().ClearProjectTree();
            window_.EnableSave(false);
            window_.EnableReprowl(false);
        } else {
            window_.ProjectTree().BuildProjectTree(*state.DigColl);
            if (found) window_.EnableSave(true);
            window_.EnableReprowl(true);
        }
    }
    if (state.SaveFile) state.SaveFile->FileName.clear();
    window_.SetProcess(kProcessIdle);
    window_.SetPointer(kPointerArrow);
}

void ProjectCommands::LoadProject(const std::wstring& path) {
    ProjectState& state = window_.State();
    window_.SetPointer(kPointerHourglass);
    try {
        MainWindowLogic::BusyScope busy(window_);
        OpenProjectFile(state, services_.files, window_, path);
    } catch (const ProwlError& e) {
        window_.SetPointer(kPointerArrow);
        ReportFileError(kOpenAttempt, e.message());
        return;
    }
    window_.StatusBar_Update(kPanelSourceFile, state.SaveFile->FileName);
    window_.ProjectTree().BuildProjectTree(*state.DigColl);
    window_.EnableSave(false);
    window_.EnableReprowl(true);
    window_.SetPointer(kPointerArrow);
}

void ProjectCommands::ReportFileError(const wchar_t* attempt, const std::wstring& reason) {
    MessageBoxRequest box;
    box.text = std::wstring(L"The following error occurred while attempting to ") + attempt +
               L": " + reason;
    box.title = kFileErrorCaption;
    box.icon = MsgIcon::Critical;
    window_.Ask(box);
}

}  // namespace prowl
