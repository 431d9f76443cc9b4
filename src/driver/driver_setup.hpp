#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/waiting.hpp"

namespace portsetup {

// How long a printer set-up may run before it is ended.
inline constexpr DWORD kSetupLimitMilliseconds = 10 * 60 * 1000;

// Where the set-up tells each step as it happens: a step done, something it
// found on the way, a step that failed with its Windows error.
class SetupReport {
public:
    virtual void Done(std::wstring_view step) = 0;
    virtual void Found(std::wstring_view finding) = 0;
    virtual void Failed(std::wstring_view step, DWORD error) = 0;
    // What the set-up waits for from now on ("the spooler"): a text that
    // lasts as long as the program.
    virtual void Waiting(const wchar_t* what) = 0;

protected:
    SetupReport() = default;
    SetupReport(const SetupReport&) = default;
    SetupReport& operator=(const SetupReport&) = default;
    ~SetupReport() = default;
};

// The report of a set-up whose steps nobody reads (the dialog's).
class UnreadReport final : public SetupReport {
public:
    void Done(std::wstring_view /*step*/) override {}
    void Found(std::wstring_view /*finding*/) override {}
    void Failed(std::wstring_view /*step*/, DWORD /*error*/) override {}
    void Waiting(const wchar_t* /*what*/) override {}
};

// The outcome of a set-up: 0, or the Windows error, what could not be done
// as the operator is told it (without the system's text) and, where the
// code alone does not say it, what the code means here.
struct SetupResult {
    DWORD error = ERROR_SUCCESS;
    std::wstring failure;
    std::string_view meaning;  // ASCII, as the exit codes' meanings
};

// The printer's installation, as Next and /install ask for it.
struct InstallOrder {
    std::wstring port;      // "COM2:"
    std::wstring settings;  // a serial port's Ports value; empty: the port's own, or 9600,n,8,1 where it has none
    // Unattended: the set-up waited for and checked, a printer installed as
    // asked left as it is, one on another port moved, PrintUIEntry's own
    // windows off with quiet, the port remembered for the installer package,
    // and settings not stored ERROR_INSTALL_FAILURE. Otherwise the set-up is
    // started and not waited for.
    bool unattended = false;
    bool quiet = false;
};

// Installs the model's printer. Before anything changes: the spooler answers
// (waited for while it starts: up to 60 seconds, then, unattended,
// ERROR_INSTALL_ALREADY_RUNNING; ERROR_SERVICE_DISABLED, or its error), the port is one the dialog offers or one of the
// spooler's own serial ports (ERROR_INVALID_PARAMETER), the information file is beside the program
// (ERROR_FILE_NOT_FOUND) and Windows protected print mode is off (ERROR_DRIVER_BLOCKED). Then the printer set-up runs
// (ERROR_TIMEOUT after ten minutes; ERROR_INSTALL_FAILURE when the spooler does not show the printer on the port
// afterwards) and, for a serial port, its Ports value is stored (the registry's error; the key is never created).
SetupResult InstallPrinter(const InstallOrder& order, WaitFunction wait, SetupReport& report);

// The printer's removal, as Delete and /remove ask for it.
struct RemovalOrder {
    // Unattended: PrintUIEntry's own windows off with quiet, the driver
    // checked afterwards, its package removed from the driver store, what is
    // remembered for the installer package forgotten.
    bool unattended = false;
    bool quiet = false;
    bool keepPrinter = false;     // nothing removed; what is remembered forgotten
    bool keepRemembered = false;  // what is remembered kept
};

// Removes the model's printer and its driver. Once the spooler answers, the
// printer, if there is one, is resumed, its queue purged and the printer
// deleted, and waited for until the spooler shows it no more. Then the
// removal line runs and is waited for. A printer that Windows only marked
// for deletion (a job still printing, a program holding it open) no longer
// shows, yet keeps the driver in use: while the driver stays in Windows' own
// environment with no printer shown using it, the line runs again, until 30
// seconds after the deletion (then ERROR_PRINTER_DRIVER_IN_USE; unattended,
// ERROR_INSTALL_ALREADY_RUNNING: "try again later"). Unattended, a driver a
// printer shown still uses is ERROR_INSTALL_FAILURE. No other printer or
// driver is touched.
SetupResult RemovePrinter(const RemovalOrder& order, WaitFunction wait, SetupReport& report);

// Tells, changing nothing, whether the printer is installed as asked: the
// model's printer on the port (as InstallPrinter leaves it) and, when
// settings are given, the port's Ports value the same. Returns 0 or, with
// one finding reported, ERROR_UNKNOWN_PRODUCT (not installed),
// ERROR_UNKNOWN_PORT (on another port) or ERROR_BAD_CONFIGURATION (other
// settings); before that, the spooler's and the port's errors as
// InstallPrinter's.
SetupResult CheckPrinter(const std::wstring& port, const std::wstring& settings, WaitFunction wait,
                         SetupReport& report);

}  // namespace portsetup
