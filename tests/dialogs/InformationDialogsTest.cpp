// The about box, file and project details, and the commands that open them: their logic over
// disks and registries in memory, with the platform's own locale, files and inspection where a
// test is about them.
#include <gtest/gtest.h>

#include <climits>

#include "support/ScriptedLauncher.h"
#include "support/TempTree.h"
#include "ui/ProgramCommands.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/dialogs/DetailsDialogs.h"
#include "ui/memory/MemoryControls.h"
#include "ui/memory/MemoryDialogHost.h"
#include "win32/ProgramServices_win.h"

namespace prowl {
namespace {

// Values of HKEY_LOCAL_MACHINE by "key|name"; every key there is, with no subkeys.
struct Registry : RegistryReader, RegistryKey {
    std::unique_ptr<RegistryKey> Open(RegistryRoot root, const std::wstring& path,
                                      RegistryView) override {
        if (root != RegistryRoot::LocalMachine) return nullptr;
        auto key = std::make_unique<Registry>(*this);
        key->path = path;
        return key;
    }
    std::vector<std::wstring> SubkeyNames() const override { return {}; }
    std::unique_ptr<RegistryKey> OpenSubkey(const std::wstring&) const override { return {}; }
    std::optional<RegistryValue> QueryValue(const std::wstring& name) const override {
        const auto found = values.find(path + L"|" + name);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    std::map<std::wstring, RegistryValue> values;
    std::wstring path;
};

// A text as the registry stores it: UTF-16 with its terminating NUL.
std::string Sz(const std::wstring& text) {
    std::string bytes;
    for (const wchar_t c : text + L'\0') bytes += {static_cast<char>(c), static_cast<char>(c >> 8)};
    return bytes;
}

// Records every start it is asked for; like a real launch, it fails where no file is.
struct RecordingLauncher : test::ScriptedLauncher {
    bool StartShown(const std::wstring& path, std::wstring*) override {
        started.push_back(path);
        return disk->FileExists(path);
    }
    MemoryDisk* disk;
    std::vector<std::wstring> started;
};

TEST(AboutBox, SystemInfoStartsWhatTheRegistryOrElseTheSystemFolderLeadsTo) {
    MemoryDisk disk;
    const std::wstring tool = L"C:\\tools\\msinfo.exe", located = L"C:\\located\\MSINFO32.EXE",
                       system = L"C:\\system\\MSINFO32.EXE", fills(1023, L'a'),
                       accented(1023, L'\u00e9');
    for (const std::wstring& file : {tool, located, system}) disk.File(file);
    const std::wstring path = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH",
                       location = L"SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO";
    const struct {
        uint32_t type;  // 0: no such value
        std::string data;
        const wchar_t* location;
        const wchar_t* systemFolder;
        std::vector<std::wstring> started;  // the last of them starts; none: unavailable
    } cases[] = {
        // The first place names the tool; a missing program, and the second place is not asked.
        {kRegSz, Sz(tool), L"C:\\located", L"C:\\system", {tool}},
        {kRegSz, Sz(L"C:\\gone.exe"), L"C:\\located", L"C:\\empty", {L"C:\\gone.exe"}},
        // A path that fills the 1024-byte buffer, counted in the ANSI code page with the NUL;
        // one that does in UTF-16 only; one byte too long, so the second place is asked.
        {kRegSz, Sz(fills), nullptr, L"C:\\empty", {fills}},
        {kRegSz, Sz(accented), nullptr, L"C:\\empty", {accented}},
        {kRegSz, Sz(fills + L"a"), L"C:\\located", L"C:\\empty", {located}},
        // A value of another type is read as nothing; a number as hexadecimal.
        {kRegExpandSz, Sz(tool), nullptr, L"C:\\empty", {L""}},
        {kRegDword, std::string("\x03\x0A\x01\x00", 4), nullptr, L"C:\\empty", {L"&h10A03"}},
        // Only the second place: its folder holds the tool; it does not but the system's does.
        {0, "", L"C:\\located", L"C:\\empty", {located}},
        {0, "", L"C:\\empty", L"C:\\system\\", {system}},
        {0, "", nullptr, L"C:\\empty", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Registry registry;
        if (c.type) registry.values[path] = {c.type, c.data};
        if (c.location) registry.values[location] = {kRegSz, Sz(c.location)};
        RecordingLauncher launcher;
        launcher.disk = &disk;
        ScriptedPrompts prompts;
        prompts.messageAnswers.push_back(MsgAnswer::Ok);
        AboutBox about(registry, launcher, disk, prompts, c.systemFolder);
        about.Click(L"cmdSysInfo");
        EXPECT_EQ(launcher.started, c.started);
        const bool unavailable = c.started.empty() || !disk.FileExists(c.started.back());
        std::wstring told;
        for (const auto& m : prompts.messages) told += m.text + L"|" + m.title;
        EXPECT_EQ(told, unavailable ? L"System Information Is Unavailable At This Time|ActiveXProwl"
                                    : L"");
        EXPECT_FALSE(about.Closed());
    }
}

// One file whose dates show as "T" and the ticks, so each date label tells which time went
// into it, and numbers as "#" and the value, so the size is seen to be grouped.
struct OneFile : MemoryDisk, LocaleFormat {
    FileDetails GetFile(const std::wstring&) override { return {1234567, 11, 22, 33, L"Type"}; }
    std::wstring GroupedNumber(uint64_t value) override { return L"#" + std::to_wstring(value); }
    std::wstring DateTime(uint64_t ticks) override { return L"T" + std::to_wstring(ticks); }
};

std::wstring Labels(const ModalDialog& dialog, std::initializer_list<const wchar_t*> names) {
    std::wstring text;
    for (const auto* name : names) text += dialog.Text(name) + L"|";
    return text;
}

TEST(Details, ShowEachDateCountAndTotalWhereItBelongsOrTellWhyTheFileCannotBeRead) {
    OneFile file;
    win32::Win32ComponentFiles components;
    const win32::Win32SystemFacts facts;
    ScriptedPrompts prompts;
    int gathered = 0;
    const InspectionSources inspection{components, facts, [&] {
                                           ++gathered;
                                           return RegistrationIndex();
                                       }};
    FileDetailsDialog dialog(file, file, prompts, inspection);
    EXPECT_FALSE(dialog.Init(L"C:\\a & b\\x.dll"));
    // The file is not on disk to be inspected: it is said so, without a message.
    EXPECT_EQ(Labels(dialog, {L"lblFileName", L"lblType", L"lblDateCreated", L"lblDateModified",
                              L"lblDateAccessed", L"lblSize", L"lblBuiltFor", L"lblRegistered"}),
              L"C:\\a & b\\x.dll|Type|T11|T33|T22|#1234567 Bytes|Not a program file|No|");
    test::TempTree tree;
    tree.Folder(L"folder");
    win32::Win32FileSystem files;
    const std::wstring prefix = L"The following error occurred while attempting to load the file: ";
    for (const auto& path : {std::wstring(), tree.Path(L"folder"), tree.Path(L"gone.dll")}) {
        SCOPED_TRACE(test::ToUtf8(path));
        prompts.messageAnswers = {MsgAnswer::Ok};
        EXPECT_TRUE(FileDetailsDialog(files, file, prompts, inspection).Init(path));
        const auto& message = prompts.messages.back();
        EXPECT_GT(message.text.size(), prefix.size()) << "with the system's reason";
        EXPECT_EQ(message.text.substr(0, prefix.size()) + message.title, prefix + kFileErrorTitle);
        EXPECT_EQ(message.icon, MsgIcon::Critical);
    }
    EXPECT_EQ(gathered, 1) << "the registry is read once, and not for a file that is not there";

    clsSaveFile counts;
    counts.Folder_Count = 2, counts.DLL_Count = INT_MAX, counts.OCX_Count = 3;
    counts.Folder_Missing = 2, counts.DLL_Missing = 3, counts.OCX_Missing = 1;
    ProjectDetailsDialog project;
    project.Init(counts, ItemCollection(), RegistrationIndex());
    EXPECT_EQ(
        Labels(project, {L"lblFolder", L"lblDLL", L"lblOCX", L"lblTotal", L"lblFolder_Missing",
                         L"lblDLL_Missing", L"lblOCX_Missing", L"lblTotal_Missing"}),
        L"2|2147483647|3|2147483652|(2 missing)|(3 missing)|(1 missing)|(6 missing)|");
}

TEST(Win32LocaleFormat, GroupsDigitsAsTheLocaleDoesAndWritesItsShortDateAndLongTimeInLocalTime) {
    win32::Win32LocaleFormat india(L"hi-IN"), us(L"en-US");
    // 2003-01-02 03:04:05 UTC; the tests run with TZ=Asia/Kolkata, 5:30 ahead all year.
    EXPECT_EQ(india.GroupedNumber(1234567) + L"|" + us.GroupedNumber(0) + L"|" +
                  us.DateTime(126859502450000000),
              L"12,34,567|0|1/2/2003 8:34:05 AM");
}

TEST(DialogCommands, DetailsOpenOnTheFileTheCommandNamesAndOnlyTheyGatherTheRegistry) {
    ProjectState state;
    MemoryMainWindow window;
    MainWindowLogic logic{state, window.Controls()};
    logic.Start();
    const std::wstring selected = L"C:\\P\\selected.ocx", typed = L"C:\\P\\typed.dll";
    for (const std::wstring& file : {selected, typed}) window.files.File(file);
    const auto record = std::make_shared<clsObject>(
        clsObject{0, 0, kNodeOcx, selected, true, L"", L"", L"", L"", L""});
    state.DigColl->Add(record);
    window.tree.Add(L"", L"K1", L"selected.ocx");
    window.tree.SetRecord(1, record);
    logic.ProjectTree().NodeClick(1);
    win32::Win32FileSystem real;
    const win32::Win32ProgramServices platform(nullptr, real);
    const ProgramServices& r = platform.Services();
    MemoryDialogHost dialogs;
    ProgramCommands commands(logic, {window.files, r.launcher, r.registry, dialogs, r.drives,
                                     r.locale, r.components, r.system, r.programFolder});
    // Whether selected.ocx's node is still selected, the path box's text, the command, and the
    // file or title shown: "" for nothing, "!" for the file error box.
    const std::tuple<bool, std::wstring, const wchar_t*, std::wstring> cases[] = {
        {true, typed, L"mnuTreeDetails", selected},
        {true, typed, L"mnuViewFile", typed},
        {true, L"", L"mnuViewFile", L""},
        {true, L"C:\\P\\gone.dll", L"mnuViewFile", L"!"},
        {false, typed, L"mnuTreeDetails", L""},
        {false, L"", L"mnuHelpAbout", L"ActiveXProwl"},
    };
    for (const auto& [selects, path, command, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(command + path));
        if (!selects) logic.ProjectTree().ClearProjectTree();
        logic.SetFilePath(path);
        logic.EnableFileDetails(true);
        window.window.pumps = 0;
        window.window.pointers.clear();
        window.prompts.messages.clear();
        window.prompts.messageAnswers = {MsgAnswer::Ok};
        std::wstring shown;
        dialogs.scripts = {[&](ModalDialog& d) {
            shown = d.Text(d.Form() == L"frmAbout" ? L"lblTitle" : L"lblFileName");
            d.Click(L"cmdOK");
        }};
        logic.OnMenuClick(command);
        EXPECT_EQ(shown + (window.prompts.messages.empty() ? L"" : L"!"), expected);
        const bool gathers = expected.starts_with(L"C:");  // under the hourglass, messages let in
        const auto& pointers = window.window.pointers;
        EXPECT_EQ(
            std::tuple(window.window.pumps > 0,
                       !pointers.empty() && pointers[0] == kPointerHourglass, logic.Pointer()),
            std::tuple(gathers, gathers, kPointerArrow));
    }
}

}  // namespace
}  // namespace prowl
