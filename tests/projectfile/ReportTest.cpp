#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inspect/InspectTestSupport.h"
#include "model/ProwlError.h"
#include "projectfile/Report.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingStatusSink.h"
#include "support/TempTree.h"
#include "ui/MainWindowLogic.h"
#include "ui/commands/ReportCommand.h"
#include "ui/memory/MemoryControls.h"
#include "win32/ProgramServices_win.h"
#include "win32/Registry_win.h"

namespace prowl {
namespace {

using test::TempTree;
using Rows = std::vector<std::vector<std::string>>;

// What a spreadsheet program does with the bytes: a byte-order mark, then fields parted by
// commas, quoted fields with doubled quotes, rows ended by CR LF.
Rows ReadCsv(const std::string& bytes) {
    Rows rows;
    if (bytes.rfind("\xEF\xBB\xBF", 0) != 0) {
        ADD_FAILURE() << "no byte-order mark";
        return rows;
    }
    std::vector<std::string> row(1);
    bool quoted = false;
    for (std::size_t i = 3; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quoted && c == '"' && i + 1 < bytes.size() && bytes[i + 1] == '"') {
            row.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            row.emplace_back();
        } else if (!quoted && c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            rows.push_back(std::move(row));
            row.assign(1, "");
            ++i;
        } else {
            row.back() += c;
        }
    }
    EXPECT_EQ(row, std::vector<std::string>(1)) << "the last row ends with CR LF";
    return rows;
}

ObjectRef Record(const wchar_t* type, const std::wstring& path, const wchar_t* included) {
    auto record = std::make_shared<clsObject>();
    record->NodeType = type;
    record->Path = path;
    record->Included = included;
    return record;
}

TEST(Report, HoldsOneQuotedRowPerComponentWithTheDiskAndRegistryAsTheyAreNow) {
    TempTree tree;
    const std::wstring registered = L"Gr\u00F6\u00DFe, neu.ocx";
    tree.File(registered, test::ComponentBytes(L"prowl_com.dll"));
    tree.File(L"needs.dll", test::ComponentBytes(L"prowl_needsdep.dll"));
    tree.File(L"plain.dll", "not a program");
    tree.File(L"sub\\here.dll", "");
    tree.File(L"elsewhere.dll", test::ComponentBytes(L"prowl_com.dll"));
    const std::wstring quoted = L"\"" + tree.Path(registered) + L"\"";
    ASSERT_EQ(test::RunRegsvr32(L"/s " + quoted), 0u);

    ItemCollection items;
    for (const ObjectRef& record :
         {Record(kNodeFolder, tree.Root(), kFlagOn),
          // First: the missing folder's own folder is looked at before that is listed.
          Record(kNodeOcx, tree.Path(L"nowhere\\x.OCX"), L""),
          Record(kNodeDll, tree.Path(L"sub\\here.dll"), kFlagOn),
          Record(kNodeOcx, tree.Path(registered), kFlagOn),
          Record(kNodeDll, tree.Path(L"needs.dll"), kFlagOff),
          Record(kNodeDll, tree.Path(L"PLAIN.DLL"), kFlagOn),  // the disk's case differs
          Record(kNodeDll, tree.Path(L"gone \"old\".dll"), kFlagOn)})
        items.Add(record);

    win32::Win32FileSystem files;
    win32::Win32ComponentFiles components;
    win32::Win32SystemFacts system;
    win32::Win32RegistryReader registry;
    const RegistrationIndex index = RegistrationIndex::Build(registry, system);
    test::RecordingStatusSink status;
    WriteReport(items, {files, components, system, index}, status, tree.Path(L"out.csv"));
    test::RunRegsvr32(L"/u /s " + quoted);

    const std::string root = test::Narrow(tree.Root());
    const std::string bytes = tree.Read(L"out.csv");
    EXPECT_EQ(bytes,
              "\xEF\xBB\xBFPath,Type,Included,Exists Now,Built For,Registered,Missing DLLs\r\n" +
                  root + "\\nowhere\\x.OCX,OCX,No,No,,No,\r\n" + root +
                  "\\sub\\here.dll,DLL,Yes,Yes,Not a program file,No,None\r\n\"" + root +
                  "\\Gr\xC3\xB6\xC3\x9F"
                  "e, neu.ocx\",OCX,Yes,Yes,64-bit (x64),"
                  "\"Yes, 1 class, 1 type library\",None\r\n" +
                  root + "\\needs.dll,DLL,No,Yes,64-bit (x64),No,prowldep.dll\r\n" + root +
                  "\\PLAIN.DLL,DLL,Yes,Yes,Not a program file,No,None\r\n"
                  "\"" +
                  root + "\\gone \"\"old\"\".dll\",DLL,Yes,No,,No,\r\n");
    const Rows rows = ReadCsv(bytes);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[3], (std::vector<std::string>{root + "\\Gr\xC3\xB6\xC3\x9F"
                                                        "e, neu.ocx",
                                                 "OCX", "Yes", "Yes", "64-bit (x64)",
                                                 "Yes, 1 class, 1 type library", "None"}));
    EXPECT_EQ(rows[6], (std::vector<std::string>{root + "\\gone \"old\".dll", "DLL", "Yes", "No",
                                                 "", "No", ""}));
    for (const auto& row : rows) EXPECT_EQ(row.size(), 7u);
    EXPECT_EQ(status.Actions().back(), L"Exported Report: " + tree.Path(L"out.csv"));
}

TEST(Report, SuggestsTheProjectsNameAsTheFileName) {
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\p\\tools.prw", L"D:\\x", L"tools.csv"},
        {L"C:\\p\\my.tools.PRW", L"", L"my.tools.csv"},
        {L"", L"C:\\Program Files\\Vendor\\", L"Vendor.csv"},
        {L"", L"C:\\\\", L"ActiveX Prowl Report.csv"},
        {L"", L"", L"ActiveX Prowl Report.csv"},
    };
    for (const auto& [fileName, startPath, expected] : cases) {
        clsSaveFile project;
        project.FileName = fileName;
        project.StartPath = startPath;
        EXPECT_EQ(SuggestedReportName(project), expected) << testing::PrintToString(fileName);
    }
}

// The command as the menu runs it: the Save dialog, the replace question, and a failed write
// told in the file error box with the old report intact.
TEST(Report, CommandAsksBeforeReplacingAndReportsAFailureWithTheOldFileKept) {
    TempTree tree;
    tree.File(L"old.csv", "old report");
    tree.File(L"a.dll", "x");
    ProjectState state;
    state.SaveFile->FileName = tree.Path(L"tools.prw");
    state.DigColl->Add(Record(kNodeDll, tree.Path(L"a.dll"), kFlagOn));
    MemoryMainWindow window;
    MainWindowLogic logic(state, window.Controls());
    logic.Start();
    test::FaultyFileSystem files;
    win32::Win32ProgramServices services(nullptr, files);
    ReportCommand command(logic, services.Services());
    auto& prompts = window.prompts;
    const auto chosen = [&](const std::wstring& name) {
        prompts.fileAnswers.push_back({FileDialogResult::Outcome::Chosen, tree.Path(name)});
    };

    files.writesBeforeFailure = 0;
    chosen(L"old.csv");
    prompts.messageAnswers = {MsgAnswer::No};
    chosen(L"old.csv");
    prompts.messageAnswers.push_back(MsgAnswer::Yes);
    prompts.messageAnswers.push_back(MsgAnswer::Ok);
    logic.RunCommand([&] { command.ExportReport(); });
    ASSERT_EQ(prompts.fileDialogs.size(), 2u);
    EXPECT_EQ(prompts.fileDialogs[0].filter, L"CSV Files (*.CSV)|*.CSV");
    EXPECT_EQ(prompts.fileDialogs[0].kind, FileDialogKind::Save);
    EXPECT_EQ(prompts.fileDialogs[0].initialFolder, tree.Root());
    EXPECT_EQ(prompts.fileDialogs[0].initialFileName, L"tools.csv");
    EXPECT_EQ(prompts.fileDialogs[1].initialFileName, tree.Path(L"old.csv"));
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[0].text,
              L"File " + tree.Path(L"old.csv") + L" already exists.  Replace this file?");
    EXPECT_EQ(prompts.messages[2].title, L"ActiveX Prowl - File Error");
    EXPECT_EQ(prompts.messages[2].icon, MsgIcon::Critical);
    EXPECT_EQ(prompts.messages[2].text,
              L"The following error occurred while attempting to save the report: There is not "
              L"enough space on the disk.");
    EXPECT_EQ(tree.Read(L"old.csv"), "old report");
    EXPECT_EQ(tree.Names(), (std::vector<std::wstring>{L"a.dll", L"old.csv"})) << "no leftovers";
    EXPECT_EQ(logic.Pointer(), kPointerArrow);
    EXPECT_FALSE(logic.Progress().visible);

    files.writesBeforeFailure = -1;
    chosen(L"new.csv");
    logic.RunCommand([&] { command.ExportReport(); });
    EXPECT_EQ(tree.Read(L"new.csv").substr(3, 4), "Path");
    EXPECT_EQ(prompts.messages.size(), 3u) << "a new file is written without a question";
}

}  // namespace
}  // namespace prowl
