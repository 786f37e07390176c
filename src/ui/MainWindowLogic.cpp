#include "ui/MainWindowLogic.h"

#include <stdexcept>

#include "ui/MainWindowTexts.h"

namespace prowl {

const std::vector<ToolbarButtonState>& MainToolbarAtStart() {
    static const std::vector<ToolbarButtonState> buttons = {
        {1, false, L"New", L"New", L"New Project", 1, true},
        {2, false, L"Open", L"Open", L"Open Project", 2, true},
        {3, false, L"Save", L"Save", L"Save Project", 3, false},
        {4, false, L"Re-Dig", L"Re-Prowl", L"Search for new ActiveX objects within project path", 4,
         false},
        {5, true, L"", L"", L"", 0, true},
        {6, false, L"Stop", L"Stop", L"Stop Current Process", 5, false},
    };
    return buttons;
}

const std::vector<MenuItemState>& MainMenuAtStart() {
    static const std::vector<MenuItemState> items = {
        {L"mnuTree", L"", L"Tree", true, false},
        {L"mnuMe_Reg", L"mnuTree", L"Register Me", false, true},
        {L"mnuMe_Unreg", L"mnuTree", L"Unregister Me", false, true},
        {L"mnuSpace1", L"mnuTree", L"-", true, true},
        {L"mnuGroup_Reg", L"mnuTree", L"Register Group", false, true},
        {L"mnuGroup_Unreg", L"mnuTree", L"Unregister Group", false, true},
        {L"mnuSpacer4", L"mnuTree", L"-", true, true},
        {L"mnuTreeDetails", L"mnuTree", L"&File Details...", false, true},
        {L"mnuFile", L"", L"&File", true, true},
        {L"mnuFileNew", L"mnuFile", L"&New", true, true},
        {L"mnuFileOpen", L"mnuFile", L"&Open", true, true},
        {L"mnuFileSave", L"mnuFile", L"&Save", false, true},
        {L"mnuSpacer2", L"mnuFile", L"-", true, true},
        {L"mnuFileReprowl", L"mnuFile", L"&Re-Prowl", false, true},
        {L"mnuSpacer3", L"mnuFile", L"-", true, true},
        {L"mnuFileExit", L"mnuFile", L"E&xit", true, true},
        {L"mnuView", L"", L"&View", true, true},
        {L"mnuViewFile", L"mnuView", L"&File Properties", false, true},
        {L"mnuViewProject", L"mnuView", L"&Project Details", false, true},
        {L"mnuHelp", L"", L"&Help", true, true},
        {L"mnuHelpAbout", L"mnuHelp", L"About ActiveX Prowl", true, true},
    };
    return items;
}

MainWindowLogic::MainWindowLogic(ProjectState& state, MainWindowControls controls)
    : state_(state),
      controls_(controls),
      buttons_(MainToolbarAtStart()),
      menu_(MainMenuAtStart()),
      sourceFileText_(kSourceFileAtStart),
      actionText_(kActionAtStart) {}

void MainWindowLogic::Start() {
    buttons_ = MainToolbarAtStart();
    menu_ = MainMenuAtStart();
    sourceFileText_ = kSourceFileAtStart;
    actionText_ = kActionAtStart;
    progress_ = ProgressBarState{};
    filePath_.clear();
    pointer_ = kPointerArrow;

    controls_.commands.Build(buttons_, menu_);
    controls_.panels.SetPanelText(kPanelSourceFile, sourceFileText_);
    controls_.panels.SetPanelText(kPanelAction, actionText_);
    controls_.progress.Update(progress_);
    controls_.filePath.SetText(filePath_);
    controls_.tree.Clear();
    controls_.window.SetPointer(pointer_);
}

void MainWindowLogic::SetCommands(MainWindowCommands* commands) {
    commands_ = commands ? commands : &defaultCommands_;
}

void MainWindowLogic::OnToolbarButtonClick(const std::wstring& key) {
    // A disabled button sends no click; a stale one queued before it was disabled is dropped.
    for (const auto& b : buttons_)
        if (!b.separator && b.key == key && !b.enabled) return;

    if (key == L"New") {
        if (!Guarded()) commands_->NewProject();
    } else if (key == L"Open") {
        if (!Guarded()) commands_->OpenProject();
    } else if (key == L"Save") {
        if (!Guarded()) commands_->SaveProject();
    } else if (key == L"Re-Dig") {
        if (!Guarded()) commands_->ReprowlProject();
    } else if (key == L"Stop") {
        StopProcess();
    }
}

void MainWindowLogic::OnMenuClick(const std::wstring& name) {
    const MenuItemState* item = nullptr;
    for (const auto& m : menu_)
        if (m.name == name) item = &m;
    // Accelerators arrive here too, so a disabled item must be refused here, not only by
    // the menu.
    if (!item || !item->enabled) return;

    if (name == L"mnuFileNew") {
        if (!Guarded()) commands_->NewProject();
    } else if (name == L"mnuFileOpen") {
        if (!Guarded()) commands_->OpenProject();
    } else if (name == L"mnuFileSave") {
        if (!Guarded()) commands_->SaveProject();
    } else if (name == L"mnuFileReprowl") {
        if (!Guarded()) commands_->ReprowlProject();
    } else if (name == L"mnuFileExit") {
        if (QueryClose()) controls_.window.Close();
    } else if (name == L"mnuMe_Reg") {
        if (!Guarded()) commands_->RegisterMe();
    } else if (name == L"mnuMe_Unreg") {
        if (!Guarded()) commands_->UnregisterMe();
    } else if (name == L"mnuGroup_Reg") {
        if (!Guarded()) commands_->RegisterGroup();
    } else if (name == L"mnuGroup_Unreg") {
        if (!Guarded()) commands_->UnregisterGroup();
    } else if (name == L"mnuTreeDetails") {
        commands_->ShowFileDetails();
    } else if (name == L"mnuViewProject") {
        commands_->ShowProjectDetails();
    } else if (name == L"mnuHelpAbout") {
        commands_->ShowAbout();
    }
    // mnuViewFile has no action.
}

bool MainWindowLogic::QueryClose() {
    if (Guarded()) return false;
    return commands_->CanClose();
}

void MainWindowLogic::StatusBar_Update(int32_t SBIndex, const std::wstring& aString) {
    if (SBIndex == kPanelSourceFile) {
        sourceFileText_ = kSourceFilePrefix + (aString.empty() ? kNewProjectFileName : aString);
        controls_.panels.SetPanelText(kPanelSourceFile, sourceFileText_);
    } else if (SBIndex == kPanelAction) {
        actionText_ = aString;
        controls_.panels.SetPanelText(kPanelAction, actionText_);
    }
    ProcessPendingMessages();
}

void MainWindowLogic::ProgressBar_Show(bool isVisible, int32_t Max) {
    progress_.visible = isVisible;
    if (isVisible) {
        progress_.value = 0.0f;
        progress_.maximum = static_cast<float>(Max);
    }
    controls_.progress.Update(progress_);
    ProcessPendingMessages();
}

void MainWindowLogic::ProgressBar_Increment(int32_t Amount) {
    // The sum is formed in double so that the comparison sees the exact amount; only the
    // stored value is single precision.
    const double sum = static_cast<double>(progress_.value) + Amount;
    if (sum > progress_.maximum)
        progress_.value = progress_.maximum;
    else if (sum < 0.0)
        progress_.value = 0.0f;  // a bar cannot show less than its minimum
    else
        progress_.value = static_cast<float>(sum);
    controls_.progress.Update(progress_);
    ProcessPendingMessages();
}

void MainWindowLogic::SetProcess(int16_t mode) {
    state_.ProcessMode = mode;
    EnableStop(mode != kProcessIdle);
}

void MainWindowLogic::StopProcess() {
    stopRequested_ = true;
    if (state_.ProcessMode == kProcessNewScan) {
        state_.SaveFile = std::make_shared<clsSaveFile>();
        state_.DigColl = std::make_shared<ItemCollection>();
    } else if (state_.ProcessMode == kProcessRescan) {
        state_.DigColl = state_.PreDigColl;
        state_.SaveFile = state_.PreSaveFile;
    }
    SetProcess(kProcessIdle);
}

void MainWindowLogic::EnableSave(bool enabled) {
    if (enabled) ++changeGeneration_;
    SetButton(kButtonSave, enabled);
    SetMenuItemEnabled(L"mnuFileSave", enabled);
}

void MainWindowLogic::EnableReprowl(bool enabled) {
    SetButton(kButtonReprowl, enabled);
    SetMenuItemEnabled(L"mnuFileReprowl", enabled);
    SetMenuItemEnabled(L"mnuViewProject", enabled);
}

void MainWindowLogic::EnableFileDetails(bool enabled) {
    SetMenuItemEnabled(L"mnuTreeDetails", enabled);
    SetMenuItemEnabled(L"mnuViewFile", enabled);
}

void MainWindowLogic::EnableStop(bool enabled) { SetButton(kButtonStop, enabled); }

void MainWindowLogic::SetMenuItemEnabled(const std::wstring& name, bool enabled) {
    Item(name).enabled = enabled;
    controls_.commands.SetMenuItemEnabled(name, enabled);
}

void MainWindowLogic::SetPointer(int32_t pointer) {
    pointer_ = pointer;
    controls_.window.SetPointer(pointer);
}

void MainWindowLogic::SetFilePath(const std::wstring& text) {
    filePath_ = text;
    controls_.filePath.SetText(text);
}

void MainWindowLogic::ProcessPendingMessages() {
    // Any command that arrives now runs nested inside the one that is pumping.
    BusyScope busy(*this);
    controls_.window.ProcessPendingMessages();
}

bool MainWindowLogic::WaitForLaunch(RunningProcess& process) {
    BusyScope busy(*this);
    // Only a Stop pressed during this wait ends it; one pressed before ends a group run after
    // the file in hand, whose launches still run to the end.
    stopRequested_ = false;
    if (!Button(kButtonStop).enabled) EnableStop(true);
    struct StopFollowsMode {
        MainWindowLogic& logic;
        ~StopFollowsMode() {
            const bool running = logic.state_.ProcessMode != kProcessIdle;
            if (logic.Button(kButtonStop).enabled != running) logic.EnableStop(running);
        }
    } restore{*this};
    return controls_.window.WaitForProcess(process, [this] { return stopRequested_; });
}

bool MainWindowLogic::ProjectCommandsLocked() const {
    return Busy() || state_.ProcessMode != kProcessIdle;
}

void MainWindowLogic::SaveSucceeded(uint64_t generationAtBegin) {
    if (generationAtBegin == changeGeneration_) EnableSave(false);
}

const ToolbarButtonState& MainWindowLogic::Button(int32_t index) const {
    if (index < 1 || index > static_cast<int32_t>(buttons_.size()))
        throw std::out_of_range("toolbar: no such button");
    return buttons_[static_cast<std::size_t>(index - 1)];
}

const MenuItemState& MainWindowLogic::MenuItem(const std::wstring& name) const {
    for (const auto& m : menu_)
        if (m.name == name) return m;
    throw std::out_of_range("menu: no such item");
}

const std::wstring& MainWindowLogic::PanelText(int32_t SBIndex) const {
    if (SBIndex == kPanelSourceFile) return sourceFileText_;
    if (SBIndex == kPanelAction) return actionText_;
    throw std::out_of_range("status bar: no such panel");
}

MenuItemState& MainWindowLogic::Item(const std::wstring& name) {
    for (auto& m : menu_)
        if (m.name == name) return m;
    throw std::out_of_range("menu: no such item");
}

void MainWindowLogic::SetButton(int32_t index, bool enabled) {
    buttons_.at(static_cast<std::size_t>(index - 1)).enabled = enabled;
    controls_.commands.SetButtonEnabled(index, enabled);
}

bool MainWindowLogic::Guarded() {
    if (!ProjectCommandsLocked()) return false;
    controls_.window.Beep();
    return true;
}

}  // namespace prowl
