#pragma once
// File > Export Report...: the project as a CSV file for spreadsheet programs.

#include <string>

#include "model/Records.h"
#include "ui/ProgramServices.h"

namespace prowl {

class MainWindowLogic;

inline constexpr const wchar_t* kReportFilter = L"CSV Files (*.CSV)|*.CSV";
inline constexpr const wchar_t* kReportDialogTitle = L"Export Report";
inline constexpr const wchar_t* kReportErrorText =
    L"The following error occurred while attempting to save the report: ";

// The project's name with ".csv": the project file's name, or for a project never saved the
// start path's last folder; a drive root or nothing at all gives "ActiveX Prowl Report.csv".
std::wstring SuggestedReportName(const clsSaveFile& project);

class ReportCommand {
  public:
    ReportCommand(MainWindowLogic& window, const ProgramServices& services)
        : window_(window), services_(services) {}

    void ExportReport();

  private:
    MainWindowLogic& window_;
    const ProgramServices& services_;
};

}  // namespace prowl
