#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "platform/waiting.hpp"
#include "platform/win32_handles.hpp"

namespace portsetup {

// How long a printer set-up may run before it is ended.
inline constexpr DWORD kSetupLimitMilliseconds = 10 * 60 * 1000;

// The outcome of a set-up step: 0, or the Windows error and what could not
// be done, as the operator is told it (without the system's text).
struct SetupResult {
    SetupResult() = default;
    SetupResult(DWORD code, std::wstring what, std::wstring did = {})
        : error(code), failure(std::move(what)), done(std::move(did))
    {
    }

    DWORD error = ERROR_SUCCESS;
    std::wstring failure;
    std::wstring done;  // what the step did and found, for the log: one line each
};

// What the operator is told of a failed step: what could not be done, and
// the system's text for its error.
std::wstring FailureReport(const SetupResult& result);

// Waits for the spooler to answer. When it does not, the service control
// manager is asked: a Print Spooler service that is starting, or set to
// start automatically and not running yet (Windows still starting), is
// waited for up to 60 seconds; a disabled one ends with
// ERROR_SERVICE_DISABLED; otherwise the spooler's error
// (RPC_S_SERVER_UNAVAILABLE for a stopped service).
SetupResult WaitForSpooler(WaitFunction wait);

// What must hold before an install starts or changes anything: the spooler
// answers (as WaitForSpooler), the port is one the dialog offers or one of
// the spooler's own serial ports (ERROR_INVALID_PARAMETER, naming those),
// the information file is beside the program (ERROR_FILE_NOT_FOUND and its
// path) and Windows protected print mode is off (ERROR_DRIVER_BLOCKED).
SetupResult PrepareInstall(std::wstring_view port, WaitFunction wait);

// Starts the install line for the port (such as "COM2:"), with extraOptions
// after it, with the native rundll32.exe, minimised, and does not wait for
// it; the process goes to *process when asked for.
SetupResult InstallDriver(std::wstring_view port, std::wstring_view extraOptions = {},
                          UniqueKernelHandle* process = nullptr);

// Puts the model's printer, with its driver, on another port, and nothing
// else of it changes.
SetupResult MovePrinter(std::wstring_view port);

// Uninstalls. Once the spooler answers (as WaitForSpooler), the model's
// printer, if there is one, is resumed, its queue purged and the printer
// deleted, and waited for until the spooler shows it no more. Then the
// removal line runs, with extraOptions after it, and is waited for (a run
// still going after setupLimit is ended: ERROR_TIMEOUT). A printer that
// Windows only marked for deletion (a job still printing, a program holding
// it open) no longer shows, yet keeps the driver in use: while the driver
// stays in Windows' own environment with no printer shown using it, the line
// runs again, until 30 seconds after the deletion (then
// ERROR_PRINTER_DRIVER_IN_USE). A driver that a printer shown still uses is
// left, and not a failure here. No other printer or driver is touched.
SetupResult RemoveDriver(std::wstring_view extraOptions, DWORD setupLimit, WaitFunction wait);

// Removes a driver package (the driver store's information file) once no
// driver uses it; one still in use is kept, and said so in done.
SetupResult RemoveDriverPackage(const std::wstring& informationFile);

// Waits for a started set-up; one still running at the limit is ended and
// reported with ERROR_TIMEOUT.
SetupResult WaitForDriverCommand(HANDLE process, DWORD limit, WaitFunction wait);

// Stores a serial port's settings as its value under the Ports key, once the
// set-up was started; the key is never created.
SetupResult StorePortSettings(const std::wstring& port, const std::wstring& value);

}  // namespace portsetup
