#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace portsetup {

enum class SetupAction { ShowDialog, Install, Remove, ShowUsage };

// What the command line asks for. Without arguments: the dialog.
struct SetupRequest {
    SetupAction action = SetupAction::ShowDialog;
    std::wstring port;            // "COM2:", normalised; for Install
    std::wstring settings;        // the Ports value to store; for a serial port only; empty: as the port has it
    bool quiet = false;           // no window of any kind
    bool keepPrinter = false;     // Remove: the printer, its driver and its settings stay
    bool keepRemembered = false;  // Remove: what is remembered for the installer package stays
    std::wstring logFile;         // empty: no log
    std::wstring problem;         // why the command line is refused; empty when it is not
    std::wstring arguments;       // as given, for the log: escaped, quoted where need be
};

inline constexpr std::wstring_view kUsage =
    L"PortSetup.exe /install /port COMn|LPTn [/settings 9600,n,8,1[,x|,p]] [/quiet] [/log FILE]\n"
    L"PortSetup.exe /remove [/keepprinter] [/keepremembered] [/quiet] [/log FILE]\n"
    L"PortSetup.exe /?\n\n"
    L"Ports: COM1 to COM4, LPT1, LPT2; COM5 to COM256 where the Print Spooler has that serial port, as "
    L"USB-serial adapters are. "
    L"Settings (COM ports only): bits per second, parity (e, o, n, m, s), "
    L"data bits (4 to 8), stop bits (1, 1.5, 2), then x (Xon/Xoff) or p (hardware) if any. "
    L"Without /settings a COM port keeps the settings it has, and gets 9600,n,8,1 where it has none. "
    L"With /keepprinter, /remove leaves the printer, its driver and its settings, and forgets only the port it "
    L"remembers for the installer package; with /keepremembered it removes them and forgets nothing.\n\n"
    L"Exit codes: 0 done; 87 a bad command line or a port this PC does not have; 1058 the Print Spooler service is "
    L"disabled; 1275 Windows protected print mode is on; 1460 the set-up did not end in ten minutes, or the run in "
    L"fifteen; 1603 the set-up did not work or the settings could not be stored; 1722 the Print Spooler service "
    L"does not answer; any other, the Windows error that stopped it.";

// A value as messages show it: at most 80 characters, then "…", with its
// control characters escaped; "" for an empty one.
std::wstring ShownValue(std::wstring_view value);

// Reads the arguments (without the program's name); options are
// case-insensitive, start with / or - and may be given once each. A value
// that is missing, empty or one of the options is refused.
SetupRequest ParseSetupArguments(const std::vector<std::wstring>& arguments);

}  // namespace portsetup
