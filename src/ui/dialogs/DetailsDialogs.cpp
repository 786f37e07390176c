#include "ui/dialogs/DetailsDialogs.h"

#include <utility>

#include "inspect/ComponentFacts.h"
#include "inspect/ComponentTexts.h"
#include "model/ProwlError.h"

namespace prowl {
namespace {

const std::vector<DetailsRow>& FileRows() {
    static const std::vector<DetailsRow> rows = {
        {L"File Name....................", L"lblFileName", nullptr, 2},
        {},
        {L"File Type.....................", L"lblType"},
        {L"File Size......................", L"lblSize"},
        {},
        {L"Date Created...............", L"lblDateCreated"},
        {L"Date Modified..............", L"lblDateModified"},
        {L"Date Accessed............", L"lblDateAccessed"},
        {},
        {L"Built For....................", L"lblBuiltFor"},
        {L"Entry Points.................", L"lblEntryPoints"},
        {L"Registered...................", L"lblRegistered"},
        {L"Missing DLLs.................", L"lblMissingDlls"},
        {},
    };
    return rows;
}

const std::vector<DetailsRow>& ProjectRows() {
    static const std::vector<DetailsRow> rows = {
        {L"Folder Count......................", L"lblFolder", L"lblFolder_Missing"},
        {L"DLL Count.........................", L"lblDLL", L"lblDLL_Missing"},
        {L"OCX Count........................", L"lblOCX", L"lblOCX_Missing"},
        {},
        {L"Total Objects.....................", L"lblTotal", L"lblTotal_Missing"},
        {L"Registered Now...............", L"lblRegistered"},
        {},
    };
    return rows;
}

std::wstring MissingText(int64_t count) { return L"(" + std::to_wstring(count) + L" missing)"; }

}  // namespace

DetailsDialog::DetailsDialog(std::wstring form, std::wstring caption,
                             const std::vector<DetailsRow>& rows, Prompts* prompts)
    : ModalDialog(std::move(form), std::move(caption), prompts) {
    int32_t captions = 0, bars = 0;
    for (const auto& row : rows) {
        if (!row.caption) {
            Add({.name = L"Line1(" + std::to_wstring(bars++) + L")",
                 .kind = ControlKind::Separator});
            continue;
        }
        Add({.name = L"Label1(" + std::to_wstring(captions++) + L")",
             .kind = ControlKind::CaptionLabel,
             .text = row.caption});
        Add({.name = row.value, .column = 1, .lines = row.lines});
        if (row.missing) Add({.name = row.missing, .column = 2});
    }
    Add({.name = L"cmdOK", .kind = ControlKind::Button, .text = L"&OK", .isDefault = true});
}

void DetailsDialog::OnClick(const std::wstring&) { Close(); }

FileDetailsDialog::FileDetailsDialog(FileSystem& files, LocaleFormat& locale, Prompts& prompts,
                                     InspectionSources inspection)
    : DetailsDialog(L"frmFileDetails", L"File Details", FileRows(), &prompts),
      files_(files),
      locale_(locale),
      inspection_(std::move(inspection)) {}

bool FileDetailsDialog::Init(const std::wstring& aFileName) {
    try {
        const FileDetails file = files_.GetFile(aFileName);
        Edit(L"lblFileName").text = aFileName;
        Edit(L"lblDateCreated").text = locale_.DateTime(file.DateCreated);
        Edit(L"lblDateAccessed").text = locale_.DateTime(file.DateLastAccessed);
        Edit(L"lblDateModified").text = locale_.DateTime(file.DateLastModified);
        Edit(L"lblSize").text = locale_.GroupedNumber(file.Size) + L" Bytes";
        Edit(L"lblType").text = file.Type;
    } catch (const ProwlError& e) {
        CurrentPrompts().ShowMessage(
            {.text =
                 L"The following error occurred while attempting to load the file: " + e.message(),
             .title = kFileErrorTitle,
             .buttons = MsgButtons::Ok,
             .icon = MsgIcon::Critical});
        return true;
    }
    const RegistrationIndex registration = inspection_.registration();
    ComponentFacts component =
        InspectComponent(aFileName, inspection_.components, inspection_.facts, registration)
            .value_or(ComponentFacts{});
    component.Registration = registration.Lookup(aFileName);
    Edit(L"lblBuiltFor").text = BuiltForText(component);
    Edit(L"lblEntryPoints").text = EntryPointsText(component);
    Edit(L"lblRegistered").text = RegisteredText(component.Registration);
    Edit(L"lblMissingDlls").text = MissingDllsText(component);
    return false;
}

ProjectDetailsDialog::ProjectDetailsDialog()
    : DetailsDialog(L"frmProjectDetails", L"Project Details", ProjectRows()) {}

void ProjectDetailsDialog::Init(const clsSaveFile& SaveFile, const ItemCollection& items,
                                const RegistrationIndex& registration) {
    // Summed wide: counts from a hand-edited project file must not overflow into nonsense.
    const int64_t total = int64_t{SaveFile.Folder_Count} + SaveFile.DLL_Count + SaveFile.OCX_Count;
    const int64_t missing =
        int64_t{SaveFile.Folder_Missing} + SaveFile.DLL_Missing + SaveFile.OCX_Missing;
    Edit(L"lblFolder").text = std::to_wstring(SaveFile.Folder_Count);
    Edit(L"lblOCX").text = std::to_wstring(SaveFile.OCX_Count);
    Edit(L"lblDLL").text = std::to_wstring(SaveFile.DLL_Count);
    Edit(L"lblTotal").text = std::to_wstring(total);
    Edit(L"lblFolder_Missing").text = MissingText(SaveFile.Folder_Missing);
    Edit(L"lblOCX_Missing").text = MissingText(SaveFile.OCX_Missing);
    Edit(L"lblDLL_Missing").text = MissingText(SaveFile.DLL_Missing);
    Edit(L"lblTotal_Missing").text = MissingText(missing);
    Edit(L"lblRegistered").text = RegisteredNowText(CountRegistered(items, registration));
}

}  // namespace prowl
