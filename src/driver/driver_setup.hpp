#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32_handles.hpp"

namespace portsetup {

// The outcome of a set-up step: 0, or the Windows error and what could not
// be done, as the operator is told it (without the system's text).
struct SetupResult {
    DWORD error = ERROR_SUCCESS;
    std::wstring failure;
};

// What the operator is told of a failed step: what could not be done, and
// the system's text for its error.
std::wstring FailureReport(const SetupResult& result);

// Starts a driver command line with the native rundll32.exe, minimised, and
// does not wait for it; the process goes to *process when asked for.
SetupResult StartDriverCommand(std::wstring_view commandLine, UniqueKernelHandle* process = nullptr);

// Uninstalls: deletes the printer of the driver's model if there is one (the
// spooler keeps a driver that a printer still uses), then starts the removal
// line, with extraOptions after it. No other printer or driver is touched.
SetupResult RemoveDriver(std::wstring_view extraOptions = {}, UniqueKernelHandle* process = nullptr);

// Waits for a started set-up; one still running after the timeout is left
// running and reported with ERROR_TIMEOUT.
SetupResult WaitForDriverCommand(HANDLE process, DWORD timeoutMilliseconds);

// What the spooler shows: the model's printer on the port (such as "COM2:"),
// and the model's driver still installed.
bool PrinterIsOnPort(std::wstring_view port);
bool DriverIsInstalled();

// Stores a serial port's settings as its value under the Ports key; returns
// the registry's status.
LONG StorePortSettings(const std::wstring& port, const std::wstring& value);

}  // namespace portsetup
