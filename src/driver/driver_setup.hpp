#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace portsetup {

// The outcome of a set-up step: 0, or the Windows error and what could not
// be done, as the operator is told it (without the system's text).
struct SetupResult {
    DWORD error = ERROR_SUCCESS;
    std::wstring failure;
};

// Starts a driver command line with the native rundll32.exe, minimised, and
// does not wait for it.
SetupResult StartDriverCommand(std::wstring_view commandLine);

// Uninstalls: deletes the printer of the driver's model if there is one (the
// spooler keeps a driver that a printer still uses), then starts the removal
// line. No other printer, and no other driver, is touched.
SetupResult RemoveDriver();

}  // namespace portsetup
