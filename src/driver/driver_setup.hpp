#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32_handles.hpp"

namespace portsetup {

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
    std::wstring done;  // what a step that worked did, for the log
};

// What the operator is told of a failed step: what could not be done, and
// the system's text for its error.
std::wstring FailureReport(const SetupResult& result);

// Installs: once the information file is found beside the program
// (ERROR_FILE_NOT_FOUND and its path otherwise) and the spooler answers,
// starts the install line for the port
// (such as "COM2:"), with extraOptions after it, with the native
// rundll32.exe, minimised, and does not wait for it; the process goes to
// *process when asked for.
SetupResult InstallDriver(std::wstring_view port, std::wstring_view extraOptions = {},
                          UniqueKernelHandle* process = nullptr);

// Uninstalls: once the spooler answers, purges the queue of the model's
// printer, if there is one, deletes it and waits until it is gone (the
// spooler keeps a driver that a printer still uses); then starts the removal
// line as InstallDriver starts its line. No other printer or driver is
// touched. A printer still there after 30 seconds: ERROR_TIMEOUT, nothing
// started.
SetupResult RemoveDriver(std::wstring_view extraOptions = {}, UniqueKernelHandle* process = nullptr);

// Puts the model's printer, with its driver, on another port, and nothing
// else of it changes; not from a folder without the information file, as
// InstallDriver.
SetupResult MovePrinter(std::wstring_view port);

// Waits for a started set-up; one still running at the limit is ended and
// reported with ERROR_TIMEOUT.
SetupResult WaitForDriverCommand(HANDLE process, DWORD timeoutMilliseconds);

// Why the PC has no such port: a serial port the dialog does not offer that
// the Ports key does not name either. Nothing for a port it has.
std::wstring MissingPortProblem(std::wstring_view port);

// Stores a serial port's settings as its value under the Ports key, once the
// set-up was started; the key is never created.
SetupResult StorePortSettings(const std::wstring& port, const std::wstring& value);

}  // namespace portsetup
