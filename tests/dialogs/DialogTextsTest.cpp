// The fixed texts of the five dialogs, to the character, and which of them stand out.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/EmptyFileSystem.h"
#include "support/TempTree.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/dialogs/ChangeReport.h"
#include "ui/dialogs/DetailsDialogs.h"
#include "ui/dialogs/FolderChooser.h"
#include "ui/memory/MemoryControls.h"

namespace prowl {
namespace {

struct NoDrives : MachineDrives {
    std::vector<std::wstring> DriveRoots() override { return {L"C:\\"}; }
    std::wstring CurrentFolder() override { return L"C:\\"; }
    std::wstring CurrentFolderOf(const std::wstring& root) override { return root; }
};
struct NoLocale : LocaleFormat {
    std::wstring GroupedNumber(uint64_t) override { return L""; }
    std::wstring DateTime(uint64_t) override { return L""; }
};
struct NoRegistry : RegistryReader {
    std::unique_ptr<RegistryKey> Open(RegistryRoot, const std::wstring&, RegistryView) override {
        return nullptr;
    }
};
struct NoLauncher : Launcher {
    StartResult StartHidden(const std::wstring&, const std::wstring&,
                            const std::wstring&) override {
        return {};
    }
    bool StartShown(const std::wstring&, std::wstring*) override { return false; }
};

enum Look { Plain, Bold, Red };
struct Text {
    const wchar_t* name;
    const wchar_t* text;
    Look look = Plain;
};

Look LookOf(const DialogControl& control) {
    if (control.kind == ControlKind::CaptionLabel) return Bold;
    if (control.kind == ControlKind::WarningLabel) return Red;
    return Plain;
}

TEST(DialogTexts, EveryDialogShowsItsCaptionAndFixedTextsAsTheyStand) {
    test::EmptyFileSystem files;
    NoDrives drives;
    NoLocale locale;
    NoRegistry registry;
    NoLauncher launcher;
    ScriptedPrompts prompts;
    FolderChooser chooser(drives, files, prompts);
    ChangeReport report;
    FileDetailsDialog fileDetails(files, locale, prompts);
    ProjectDetailsDialog projectDetails;
    AboutBox about(registry, launcher, files, prompts, L"");

    struct Case {
        const ModalDialog& dialog;
        const wchar_t* caption;
        std::vector<Text> texts;
    } cases[] = {
        {chooser,
         L"ActiveX Prowl - Choose Start Path",
         {{L"Label3", L"Choose a start path for your desired ActiveX objects"},
          {L"Label2", L"Initial Drive:", Bold},
          {L"Label1", L"Initial Directory:", Bold},
          {L"cmdOK", L"&OK"},
          {L"cmdCancel", L"&Cancel"}}},
        {report,
         L"Objects Added / Removed During Re-Prowl Process",
         {{L"Label4",
           L"The objects shown in the list, below, were added during the re-prowl process.  "
           L"These objects now exist under the project's start path.  If you do not wish to "
           L"include these objects in your project, then do not save the changes to the "
           L"project.  Press OK to return to the project."},
          {L"Label3", L"Obejcts Added to Project", Bold},
          {L"Label1",
           L"The objects shown in the list, below, were removed during the re-prowl process.  "
           L"These objects no longer exist under the project's start path.  If you do not wish "
           L"to exclude these objects from your project, then do not save the changes to the "
           L"project.  Press OK to return to the project."},
          {L"Label2", L"Obejcts Removed from Project", Bold},
          {L"cmdOK", L"&OK"}}},
        {fileDetails,
         L"File Details",
         {{L"Label1(0)", L"File Name....................", Bold},
          {L"Label1(1)", L"File Type.....................", Bold},
          {L"Label1(2)", L"File Size......................", Bold},
          {L"Label1(3)", L"Date Created...............", Bold},
          {L"Label1(4)", L"Date Modified..............", Bold},
          {L"Label1(5)", L"Date Accessed............", Bold},
          {L"cmdOK", L"&OK"}}},
        {projectDetails,
         L"Project Details",
         {{L"Label1(0)", L"Folder Count......................", Bold},
          {L"Label1(1)", L"DLL Count.........................", Bold},
          {L"Label1(2)", L"OCX Count........................", Bold},
          {L"Label1(3)", L"Total Objects.....................", Bold},
          {L"cmdOK", L"&OK"}}},
        {about,
         L"About ActiveXProwl",
         {{L"lblTitle", L"ActiveXProwl", Bold},
          {L"lblVersion", L"Version 1.0.0"},
          {L"lblDescription",
           L"ActiveX Prowl manages all ActiveX controls (*.DLL and *.OCX) within a specified "
           L"path.  Most ActiveX control management applications approach control management "
           L"from the registry level.  ActiveX Prowl manages these controls from the file "
           L"level, allowing the user to register and unregister the controls.  ActiveX Prowl "
           L"treats each search as a project.  You can create, modify, save and load ActiveX "
           L"Prowl projects.  Within a project, you may choose to include / exclude controls "
           L"and / or folders."},
          {L"lblDisclaimer",
           L"Use of this program results in changes to your PC's registry.  Tampering with the "
           L"registration of certain files may cause Windows to become unstable or "
           L"inoperable.  Please use caution.  YOU are responsible for any and every action "
           L"performed by this software.",
           Red},
          {L"cmdOK", L"OK"},
          {L"cmdSysInfo", L"&System Info..."}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::ToUtf8(c.caption));
        EXPECT_EQ(c.dialog.Caption(), c.caption);
        for (const auto& t : c.texts) {
            SCOPED_TRACE(test::ToUtf8(t.name));
            EXPECT_EQ(c.dialog.Text(t.name), t.text);
            EXPECT_EQ(LookOf(c.dialog.Control(t.name)), t.look);
        }
    }
}

}  // namespace
}  // namespace prowl
