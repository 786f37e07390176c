// The about box and the file and project details: their logic over disks and registries in
// memory, with the platform's own files and inspection where a test is about them.
#include <gtest/gtest.h>

#include <climits>

#include "support/TempTree.h"
#include "ui/MemoryProgram.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/dialogs/DetailsDialogs.h"
#include "win32/ProgramServices_win.h"

namespace prowl {
namespace {

// A disk whose programs can be started: it records every start and, like a real launch, fails
// where no file is.
struct Programs : MemoryDisk, test::ScriptedLauncher {
    bool StartShown(const std::wstring& path, std::wstring*) override {
        started += path + L"|";
        return FileExists(path);
    }
    std::wstring started;
};

TEST(AboutBox, SystemInfoStartsWhatTheRegistryOrElseTheSystemFolderLeadsTo) {
    const std::wstring tool = L"C:\\tools\\msinfo.exe", located = L"C:\\located\\MSINFO32.EXE",
                       system = L"C:\\system\\MSINFO32.EXE", fills(1023, L'a');
    const std::wstring unavailable = L"System Information Is Unavailable At This Time|ActiveXProwl";
    // The first place's path, the second place's folder (each "": none), the system folder, and
    // the program started ("-": none).
    using Case = std::tuple<std::wstring, std::wstring, const wchar_t*, std::wstring>;
    const Case cases[] = {
        // The first place names the tool; a missing program, and the second place is not asked.
        {tool, L"C:\\located", L"C:\\system", tool},
        {L"C:\\gone.exe", L"C:\\located", L"C:\\empty", L"C:\\gone.exe"},
        // A path that fills the 1024-byte buffer with its NUL; one too long, so the second place
        // is asked.
        {fills, L"", L"C:\\empty", fills},
        {fills + L"a", L"C:\\located", L"C:\\empty", located},
        // Only the second place: its folder holds the tool; it does not but the system's does.
        {L"", L"C:\\located", L"C:\\empty", located},
        {L"", L"C:\\empty", L"C:\\system\\", system},
        {L"", L"", L"C:\\empty", L"-"},
    };
    for (const auto& [first, place, systemFolder, started] : cases) {
        test::Machine registry;
        registry.values = {{L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH", first},
                           {L"SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO", place}};
        Programs programs;
        for (const std::wstring& file : {tool, located, system}) programs.File(file);
        ScriptedPrompts prompts;
        prompts.messageAnswers.push_back(MsgAnswer::Ok);
        AboutBox about(registry, programs, programs, prompts, systemFolder);
        about.Click(L"cmdSysInfo");
        std::wstring shown = programs.started + (about.Closed() ? L"closed" : L"");
        for (const auto& m : prompts.messages) shown += m.text + L"|" + m.title;
        EXPECT_EQ(shown, started == L"-"
                             ? unavailable
                             : started + L"|" + (programs.FileExists(started) ? L"" : unavailable));
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

TEST(Details, ShowEachDateCountAndTotalWhereItBelongsInTheLocalesFormsOrTellWhyAFileCannotBeRead) {
    OneFile file;
    win32::Win32ComponentFiles components;
    const win32::Win32SystemFacts facts;
    ScriptedPrompts prompts;
    int gathered = 0;
    const InspectionSources inspection{components, facts,
                                       [&] { return ++gathered, RegistrationIndex(); }};
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
        prompts.messageAnswers = {MsgAnswer::Ok};
        EXPECT_TRUE(FileDetailsDialog(files, file, prompts, inspection).Init(path));
        const auto& message = prompts.messages.back();
        EXPECT_GT(message.text.size(), prefix.size()) << "with the system's reason";
        EXPECT_EQ(message.text.substr(0, prefix.size()) + message.title +
                      (message.icon == MsgIcon::Critical ? L"" : L" not critical"),
                  prefix + L"ActiveX Prowl - File Error")
            << test::ToUtf8(path);
    }
    EXPECT_EQ(gathered, 1) << "the registry is read once, and not for a file that is not there";

    ProjectDetailsDialog project;  // DLLs, OCXs and folders, then those missing
    project.Init({L"", L"", false, INT_MAX, 3, 2, 3, 1, 2}, ItemCollection(), RegistrationIndex());
    EXPECT_EQ(
        Labels(project, {L"lblFolder", L"lblDLL", L"lblOCX", L"lblTotal", L"lblFolder_Missing",
                         L"lblDLL_Missing", L"lblOCX_Missing", L"lblTotal_Missing"}),
        L"2|2147483647|3|2147483652|(2 missing)|(3 missing)|(1 missing)|(6 missing)|");

    // The real locale groups digits as it does and writes its short date and long time in local
    // time: 2003-01-02 03:04:05 UTC; the tests run with TZ=Asia/Kolkata, 5:30 ahead all year.
    win32::Win32LocaleFormat india(L"hi-IN"), us(L"en-US");
    EXPECT_EQ(india.GroupedNumber(1234567) + L"|" + us.GroupedNumber(0) + L"|" +
                  us.DateTime(126859502450000000),
              L"12,34,567|0|1/2/2003 8:34:05 AM");
}

}  // namespace
}  // namespace prowl
