#pragma once

#include <windows.h>

#include <string>

namespace portsetup {

// What storing a port's Ports value came to: the status of the write (or of
// the reading that kept the value), the value stored, and whether the port's
// own value was kept instead.
struct StoredPortSettings {
    LONG status = ERROR_SUCCESS;
    std::wstring value;
    bool kept = false;
};

// Writes a port's Ports value ("COM2:" = "19200,n,8,1,p") through the
// registry writer; without a value asked for, the port keeps the one it has,
// or gets 9600,n,8,1 where it has none. The key is never created.
StoredPortSettings WritePortSettings(const std::wstring& port, const std::wstring& value);

// A port's Ports value: 0 and its text, or the error (ERROR_FILE_NOT_FOUND
// where it has none).
LONG ReadPortSettings(const std::wstring& port, std::wstring* value);

}  // namespace portsetup
