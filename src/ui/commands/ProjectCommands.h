#pragma once
// New, Open, Save and closing the window.
//
// Every way these commands can fail is told to the user: a project file that cannot be read
// or written, or a start path that cannot be scanned, gives a message box with the system's
// reason, and the project stays as it was. Only a dialog the user cancelled ends a command
// without a word.

#include <string>

#include "ui/ProgramServices.h"

namespace prowl {

class MainWindowLogic;

inline constexpr const wchar_t* kProjectFileFilter = L"ActiveX Prowl Files (*.PRW)|*.PRW";
inline constexpr const wchar_t* kOpenDialogTitle = L"Open ActiveX Prowl Save File";
inline constexpr const wchar_t* kSaveDialogTitle = L"Save ActiveX Objects";
inline constexpr const wchar_t* kFileErrorCaption = L"ActiveX Prowl - File Error";

class ProjectCommands {
  public:
    ProjectCommands(MainWindowLogic& window, const ProgramServices& services)
        : window_(window), services_(services) {}

    void NewProject();
    void OpenProject();
    // false when the project was not saved (cancelled or failed).
    bool SaveProject();
    // Asked when the window is to close and nothing runs; false keeps it open.
    bool CanClose();

    // New and Open with the dialog's answer already given (a path from the command line or
    // dropped on the window): the same steps from the save-changes question on. Run them as
    // every command runs, inside the window's RunCommand; while another command or a process
    // runs they only beep.
    void NewProjectAt(const std::wstring& folder);
    void OpenProjectPath(const std::wstring& path);

  private:
    bool Refused();
    // Offers to save unsaved changes; false when the command must stop.
    bool OfferToSave();
    void ScanNewProject(const std::wstring& folder);
    void LoadProject(const std::wstring& path);
    void ReportFileError(const wchar_t* attempt, const std::wstring& reason);

    MainWindowLogic& window_;
    const ProgramServices& services_;
};

}  // namespace prowl
