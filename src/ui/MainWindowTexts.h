#pragma once
// Fixed texts of the main window. Users and tests compare them to the character.

namespace prowl {

inline constexpr const wchar_t* kMainCaption = L"ActiveX Prowl";
inline constexpr const wchar_t* kLabel1Text = L"Selected ActiveX File";
inline constexpr const wchar_t* kLabel2Text = L"Current Project:";
inline constexpr const wchar_t* kLabel3Text = L"Current ActiveX Objects";

inline constexpr const wchar_t* kPreviousInstanceText =
    L"A previous instance of ActiveX Prowl is already running.";
inline constexpr const wchar_t* kPreviousInstanceTitle = L"ActiveX Prowl - Previous Instance";

// A command or the start-up that failed: the ProwlError's own text, or the general sentence.
inline constexpr const wchar_t* kErrorCaption = L"ActiveX Prowl - Error";
inline constexpr const wchar_t* kUnexpectedErrorText =
    L"The command could not be completed because of an unexpected error. The project is as it "
    L"was before the command.";

inline constexpr const wchar_t* kSourceFilePrefix = L"Source File: ";
inline constexpr const wchar_t* kNewProjectFileName = L"** New ActiveX Prowl File **";
inline constexpr const wchar_t* kSourceFileAtStart = L"Source File: None";
inline constexpr const wchar_t* kActionAtStart = L"Ready";

}  // namespace prowl
