#include "ui/commands/ReprowlCommand.h"

#include <memory>
#include <string>

#include "model/ProwlError.h"
#include "scan/CarryOver.h"
#include "scan/PathScanner.h"
#include "ui/MainWindowLogic.h"
#include "ui/dialogs/ChangeReport.h"

namespace prowl {
namespace {
const wchar_t* const kStoppedStatus = L"Re-Prowl Stopped";
const wchar_t* const kUpdatingStatus = L"Updating Project...";
const wchar_t* const kCheckingStatus = L"Checking for project changes...";
const wchar_t* const kReadyStatus = L"Ready";
const wchar_t* const kScanErrorText =
    L"The following error occurred while attempting to scan the start path: ";
const wchar_t* const kScanErrorTitle = L"ActiveX Prowl - File Error";
}  // namespace

void ReprowlCommand::ReprowlProject() {
    ProjectState& state = window_.State();
    if (!state.DigColl) state.DigColl = std::make_shared<ItemCollection>();
    state.PreDigColl = state.DigColl;
    if (!state.SaveFile) state.SaveFile = std::make_shared<clsSaveFile>();
    state.PreSaveFile = state.SaveFile;

    MainWindowLogic::CommandScope scope(window_);
    scope.SetPointer(kPointerArrowHourglass);
    const std::wstring fileName = state.SaveFile->FileName;
    window_.SetProcess(kProcessRescan);

    try {
        PathScanner(state, services_.files, window_).ScanProjectPath(state.SaveFile->StartPath);
    } catch (const ProwlError& e) {
        // The drive went or is not ready. The scanner replaced nothing, so the open project
        // stays as a Stop would leave it, without a report; the mode goes back before the box
        // so that Stop is not offered behind it.
        window_.SetProcess(kProcessIdle);
        window_.Ask({.text = kScanErrorText + e.message(),
                     .title = kScanErrorTitle,
                     .icon = MsgIcon::Critical});
        return;
    }
    state.SaveFile->FileName = fileName;

    if (state.ProcessMode != kProcessRescan) {
        window_.StatusBar_Update(kPanelAction, kStoppedStatus);
    } else {
        window_.SetProcess(kProcessIdle);
        window_.StatusBar_Update(kPanelAction, kUpdatingStatus);
        PathChanges changes = CarryOverStates(*state.PreDigColl, *state.DigColl);
        window_.StatusBar_Update(kPanelAction, kCheckingStatus);
        // Made afresh for every re-scan and dropped at its end, shown or not.
        ChangeReport report;
        report.Init(std::move(changes));
        if (report.ShouldShow()) {
            window_.EnableSave(true);
            services_.dialogs.ShowModal(report);
        }
        window_.StatusBar_Update(kPanelAction, kReadyStatus);
    }
    window_.ProjectTree().BuildProjectTree(*state.DigColl);
}

}  // namespace prowl
