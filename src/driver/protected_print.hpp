#pragma once

#include <windows.h>

namespace portsetup {

// Whether Windows protected print mode is on (Windows 11 24H2 on): Windows
// then takes only Microsoft's own printer drivers and removes printers that
// use others. Asked as Microsoft documents it, of the Windows Runtime class
// WindowsProtectedPrintInfo. Returns S_OK, or why it could not be asked (no
// Windows Runtime, no such class on this Windows), with *on false.
HRESULT AskProtectedPrintMode(bool* on);

}  // namespace portsetup
