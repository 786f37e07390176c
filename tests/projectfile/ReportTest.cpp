#include <gtest/gtest.h>

#include "inspect/InspectTestSupport.h"
#include "projectfile/Report.h"
#include "support/RecordingStatusSink.h"
#include "support/TempTree.h"
#include "ui/MainWindowLogic.h"
#include "ui/commands/ReportCommand.h"
#include "ui/memory/MemoryControls.h"
#include "win32/ProgramServices_win.h"

namespace prowl {
namespace {

using test::TempTree;

TEST(Report, HoldsOneQuotedRowPerComponentAndItsCommandKeepsTheOldFileWhenAWriteFails) {
    TempTree tree;
    const std::wstring registered = L"Gr\u00F6\u00DFe, neu.ocx";
    tree.File(registered, test::ComponentBytes(L"prowl_com.dll"));
    tree.File(L"needs.dll", test::ComponentBytes(L"prowl_needsdep.dll"));
    tree.File(L"plain.dll", "not a program");
    const std::wstring quoted = L"\"" + tree.Path(registered) + L"\"";
    ASSERT_EQ(test::RunRegsvr32(L"/s " + quoted), 0u);
    // A class of the user's own naming needs.dll through a variable, as installers write it,
    // and a type library for its 32-bit clients, in the machine's 32-bit view of the registry.
    wchar_t id[48];
    swprintf(id, 48, L"{5052574E-0000-0000-0000-%012lX}", GetCurrentProcessId());
    SetEnvironmentVariableW(L"PROWL_REPORT_DIR", tree.Root().c_str());
    HKEY keys[2] = {};
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\CLSID", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &keys[0], nullptr);
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\TypeLib", 0, nullptr, 0,
                    KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &keys[1], nullptr);
    const auto set = [&](HKEY key, const wchar_t* below, DWORD type, const std::wstring& value) {
        ASSERT_EQ(RegSetKeyValueW(key, (id + std::wstring(below)).c_str(), nullptr, type,
                                  value.c_str(), DWORD((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    };
    set(keys[0], L"\\InprocServer32", REG_EXPAND_SZ, L"%PROWL_REPORT_DIR%\\needs.dll");
    set(keys[1], L"\\1.0\\0\\win32", REG_SZ, tree.Path(L"needs.dll"));

    ItemCollection items;
    for (const auto& [type, name, included] :
         {std::tuple(kNodeFolder, L"", kFlagOn),
          // First: the missing folder's own folder is looked at before that is listed.
          {kNodeOcx, L"nowhere\\x.OCX", L""},
          {kNodeOcx, registered.c_str(), kFlagOn},
          {kNodeDll, L"needs.dll", kFlagOff},
          {kNodeDll, L"PLAIN.DLL", kFlagOn},  // the disk's case differs
          {kNodeDll, L"gone \"old\".dll", kFlagOn}})
        items.Add(std::make_shared<clsObject>(
            clsObject{0, 0, type, tree.Path(name), false, L"", L"", L"", included, L""}));

    win32::Win32FileSystem files;
    win32::Win32ProgramServices program(nullptr, files);
    const ProgramServices& s = program.Services();
    const RegistrationIndex index = RegistrationIndex::Build(s.registry, s.system);
    test::RecordingStatusSink status;
    WriteReport(items, {files, s.components, s.system, index}, status, tree.Path(L"out.csv"));
    test::RunRegsvr32(L"/u /s " + quoted);
    for (HKEY key : keys) RegDeleteTreeW(key, id), RegCloseKey(key);

    // The tree's folder as "~", so that each row reads as one line.
    std::string report = tree.Read(L"out.csv");
    const std::string root = test::Narrow(tree.Root());
    for (auto at = report.find(root); at != report.npos; at = report.find(root, at))
        report.replace(at, root.size(), "~");
    EXPECT_EQ(
        report,
        "\xEF\xBB\xBFPath,Type,Included,Exists Now,Built For,Registered,Missing DLLs\r\n"
        "~\\nowhere\\x.OCX,OCX,No,No,,No,\r\n"
        "\"~\\Gr\xC3\xB6\xC3\x9F\x65, neu.ocx\",OCX,Yes,Yes,64-bit (x64),"
        "\"Yes, 1 class, 1 type library\",None\r\n"
        "~\\needs.dll,DLL,No,Yes,64-bit (x64),\"Yes, 1 class, 1 type library\",prowldep.dll\r\n"
        "~\\PLAIN.DLL,DLL,Yes,Yes,Not a program file,No,None\r\n"
        "\"~\\gone \"\"old\"\".dll\",DLL,Yes,No,,No,\r\n");
    EXPECT_EQ(status.lines.back(), L"2:Exported Report: " + tree.Path(L"out.csv"));

    // The command as the menu runs it: the Save dialog, the replace question, and a failed
    // write told in the file error box with the old report intact.
    ProjectState state;
    state.SaveFile->FileName = L"C:\\P\\tools.prw";
    MemoryMainWindow window;
    window.files.File(L"C:\\P\\old.csv", "old report");
    MainWindowLogic logic(state, window.Controls());
    logic.Start();
    win32::Win32ProgramServices services(nullptr, window.files);
    ReportCommand command(logic, services.Services());
    auto& prompts = window.prompts;
    for (const wchar_t* name : {L"C:\\P\\old.csv", L"C:\\P\\new.csv"})
        prompts.fileAnswers.push_back({FileDialogResult::Outcome::Chosen, name});
    prompts.messageAnswers = {MsgAnswer::Yes, MsgAnswer::Ok};
    window.files.writesBeforeFailure = 0;
    logic.RunCommand([&] { command.ExportReport(); });
    window.files.writesBeforeFailure = -1;
    logic.RunCommand([&] { command.ExportReport(); });
    const auto& d = prompts.fileDialogs.at(0);  // a new file is written without a question
    std::wstring asked = d.title + L"|" + d.filter + L"|" + std::to_wstring(int(d.kind)) + L"|" +
                         d.initialFolder + L"|" + d.initialFileName.value_or(L"?") + L"\n";
    for (const auto& m : prompts.messages)
        asked += m.title + L"|" + std::to_wstring(int(m.icon)) + L"|" + m.text + L"\n";
    EXPECT_EQ(asked,
              L"Export Report|CSV Files (*.CSV)|*.CSV|1|C:\\P|tools.csv\n"
              L"Replace Report File?|0|File C:\\P\\old.csv already exists.  Replace this file?\n"
              L"ActiveX Prowl - File Error|1|The following error occurred while attempting "
              L"to save the report: There is not enough space on the disk.\n");
    EXPECT_EQ(
        window.files.Bytes(L"C:\\P\\old.csv") + window.files.Bytes(L"C:\\P\\new.csv").substr(3, 4),
        "old reportPath");
    EXPECT_FALSE(logic.Progress().visible);

    // The suggested name is the project's, else its start folder's.
    const std::pair<clsSaveFile, const wchar_t*> cases[] = {
        {{L"", L"C:\\p\\my.tools.PRW"}, L"my.tools.csv"},
        {{L"C:\\Program Files\\Vendor\\", L""}, L"Vendor.csv"},
        {{L"C:\\\\", L""}, L"ActiveX Prowl Report.csv"},
        {{L"", L""}, L"ActiveX Prowl Report.csv"},
    };
    for (const auto& [project, expected] : cases)
        EXPECT_EQ(SuggestedReportName(project), expected) << testing::PrintToString(expected);
}

}  // namespace
}  // namespace prowl
