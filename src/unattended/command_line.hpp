#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace portsetup {

enum class SetupAction { ShowDialog, Install, Remove, Check, ShowUsage };

// What the command line asks for. Without arguments: the dialog.
struct SetupRequest {
    SetupAction action = SetupAction::ShowDialog;
    std::wstring port;            // "COM2:", normalised; for Install and Check
    std::wstring settings;        // the Ports value to store; for a serial port only; empty: as the port has it
    bool quiet = false;           // no window of any kind
    bool keepPrinter = false;     // Remove: the printer, its driver and its settings stay
    bool keepRemembered = false;  // Remove: what is remembered for the installer package stays
    std::wstring logFile;         // empty: no log
    std::wstring problem;         // why the command line is refused; empty when it is not
    std::wstring arguments;       // as given, for the log: escaped, quoted where need be
};

// What /? shows: the forms, the values they take and the exit codes.
std::wstring UsageText();

// A value as messages show it: at most 80 characters, then "…", with its
// control characters escaped; "" for an empty one.
std::wstring ShownValue(std::wstring_view value);

// Reads the arguments (without the program's name); options are
// case-insensitive, start with / or - and may be given once each. A value
// that is missing, empty or one of the options is refused.
SetupRequest ParseSetupArguments(const std::vector<std::wstring>& arguments);

}  // namespace portsetup
