#include "ui/MainWindowLogic.h"

#include <optional>
#include <stdexcept>

#include "model/ProwlError.h"
#include "model/TextCase.h"
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
        {L"mnuSpacer5", L"mnuTree", L"-", true, true},
        {L"mnuTreeRename", L"mnuTree", L"Re&name", false, true},
        {L"mnuTreeCopyPath", L"mnuTree", L"&Copy Path", false, true},
        {L"mnuFile", L"", L"&File", true, true},
        {L"mnuFileNew", L"mnuFile", L"&New", true, true},
        {L"mnuFileOpen", L"mnuFile", L"&Open", true, true},
        {L"mnuFileSave", L"mnuFile", L"&Save", false, true},
        {L"mnuSpacer2", L"mnuFile", L"-", true, true},
        {L"mnuFileReprowl", L"mnuFile", L"&Re-Prowl", false, true},
        {L"mnuFileExport", L"mnuFile", L"&Export Report...", false, true},
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
      actionText_(kActionAtStart),
      projectTree_(*this, state, controls.tree, controls.files) {}

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
    controls_.tree.SetEvents(&projectTree_);
    projectTree_.ClearProjectTree();
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
        if (!Guarded()) RunCommand([this] { commands_->NewProject(); });
    } else if (key == L"Open") {
        if (!Guarded()) RunCommand([this] { commands_->OpenProject(); });
    } else if (key == L"Save") {
        if (!Guarded()) RunCommand([this] { commands_->SaveProject(); });
    } else if (key == L"Re-Dig") {
        if (!Guarded()) RunCommand([this] { commands_->ReprowlProject(); });
    } else if (key == L"Stop") {
        RunCommand([this] { StopProcess(); });
    }
}

void MainWindowLogic::OnMenuClick(const std::wstring& name) {
    const MenuItemState* item = nullptr;
    for (const auto& m : menu_)
        if (m.name == name) item = &m;
    // Accelerators arrive here too, so a disabled item must be refused here, not only by
    // the menu.
    if (!item || !item->enabled) return;

    // The commands that change the project or start a process are refused while another
    // runs; the details and the about box may be used meanwhile.
    using Command = void (MainWindowCommands::*)();
    const struct {
        const wchar_t* name;
        Command command;
        bool guarded;
    } routes[] = {
        {L"mnuFileNew", &MainWindowCommands::NewProject, true},
        {L"mnuFileOpen", &MainWindowCommands::OpenProject, true},
        {L"mnuFileReprowl", &MainWindowCommands::ReprowlProject, true},
        {L"mnuFileExport", &MainWindowCommands::ExportReport, true},
        {L"mnuMe_Reg", &MainWindowCommands::RegisterMe, true},
        {L"mnuMe_Unreg", &MainWindowCommands::UnregisterMe, true},
        {L"mnuGroup_Reg", &MainWindowCommands::RegisterGroup, true},
        {L"mnuGroup_Unreg", &MainWindowCommands::UnregisterGroup, true},
        {L"mnuTreeDetails", &MainWindowCommands::ShowFileDetails, false},
        {L"mnuViewFile", &MainWindowCommands::ShowFileProperties, false},
        {L"mnuViewProject", &MainWindowCommands::ShowProjectDetails, false},
        {L"mnuHelpAbout", &MainWindowCommands::ShowAbout, false},
    };
    if (name == L"mnuTreeRename") {
        projectTree_.OnKey(TreeKey::Rename, true);
    } else if (name == L"mnuTreeCopyPath") {
        projectTree_.OnKey(TreeKey::CopyPath, true);
    } else if (name == L"mnuFileSave") {
        if (!Guarded()) RunCommand([this] { commands_->SaveProject(); });
    } else if (name == L"mnuFileExit") {
        if (QueryClose()) controls_.window.Close();
    }
    for (const auto& route : routes)
        if (name == route.name && !(route.guarded && Guarded()))
            RunCommand([this, &route] { (commands_->*route.command)(); });
}

void MainWindowLogic::OpenAtStart(const std::wstring& path) {
    if (!Guarded()) RunCommand([&] { commands_->OpenProjectPath(path); });
}

void MainWindowLogic::OnDropFiles(const std::vector<std::wstring>& paths) {
    if (Guarded()) return;
    const std::wstring path = paths.size() == 1 ? paths[0] : L"";
    if (!path.empty() && controls_.files.FolderExists(path)) {
        RunCommand([&] { commands_->NewProjectAt(path); });
    } else if (path.size() > 4 && UpperCase(path.substr(path.size() - 4)) == L".PRW") {
        RunCommand([&] { commands_->OpenProjectPath(path); });
    } else {
        controls_.window.Beep();
    }
}

bool MainWindowLogic::QueryClose() {
    if (Guarded()) return false;
    bool mayClose = false;
    RunCommand([this, &mayClose] { mayClose = commands_->CanClose(); });
    return mayClose;
}

bool MainWindowLogic::QueryEndSession() {
    return commandDepth_ == 0 && !ProjectCommandsLocked() && QueryClose();
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
    SetMenuItemEnabled(L"mnuFileExport", enabled);
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

MainWindowLogic::CommandScope::CommandScope(MainWindowLogic& logic)
    : logic_(logic),
      ownsProcess_(logic.state_.ProcessMode == kProcessIdle),
      pointerAtEnd_(logic.commandDepth_ == 0 ? kPointerArrow : logic.pointer_) {
    ++logic_.commandDepth_;
}

MainWindowLogic::CommandScope::~CommandScope() {
    --logic_.commandDepth_;
    if (ownsProcess_ && logic_.state_.ProcessMode != kProcessIdle) logic_.SetProcess(kProcessIdle);
    if (logic_.pointer_ != pointerAtEnd_) logic_.SetPointer(pointerAtEnd_);
}

void MainWindowLogic::RunScoped(int32_t pointer, int16_t mode, const std::function<void()>& work) {
    CommandScope scope(*this);
    scope.SetPointer(pointer);
    if (mode != kProcessIdle) SetProcess(mode);
    work();
}

void MainWindowLogic::RunCommand(const std::function<void()>& command) {
    std::optional<std::wstring> failure;
    try {
        CommandScope scope(*this);
        command();
    } catch (const ProwlError& e) {
        failure = e.message();
    } catch (...) {
        failure = kUnexpectedErrorText;
    }
    if (!failure) return;
    MessageBoxRequest box;
    box.text = *failure;
    box.title = kErrorCaption;
    box.icon = MsgIcon::Critical;
    Ask(box);
}

MsgAnswer MainWindowLogic::Ask(const MessageBoxRequest& request) {
    const MsgAnswer answer = controls_.prompts.ShowMessage(request);
    return answer == MsgAnswer::NotShown ? MsgAnswer::Cancel : answer;
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
