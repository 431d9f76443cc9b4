#pragma once

namespace portsetup {

// Whether Windows protected print mode is on (Windows 11 24H2 on): Windows
// then takes only Microsoft's own printer drivers and removes printers that
// use others. Asked as Microsoft documents it, of the Windows Runtime class
// WindowsProtectedPrintInfo; false where Windows has no such mode.
bool ProtectedPrintModeOn();

}  // namespace portsetup
