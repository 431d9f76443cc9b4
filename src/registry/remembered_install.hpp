#pragma once

#include <windows.h>

#include <string>

namespace portsetup {

// What the program remembers of the printer it installed, for its installer
// package to read back on a repair or an upgrade (Windows Installer keeps no
// property between runs): the port and the settings, under
// HKEY_LOCAL_MACHINE in the 64-bit view on 64-bit Windows, whichever program.
inline constexpr const wchar_t* kRememberedInstallKey = L"SOFTWARE\\PortSetup";

// Settings that are empty (none asked for) are not remembered. Returns 0, or
// the registry's error.
LONG RememberInstall(const std::wstring& port, const std::wstring& settings);

// Forgets it; 0 also when there was nothing to forget.
LONG ForgetInstall();

}  // namespace portsetup
