#pragma once

#include <windows.h>

#include <string>

namespace portsetup {

// The full path of a loaded module (the program itself for nullptr), however
// long; empty on failure, with the error left in GetLastError().
std::wstring ModulePath(HMODULE module);

// The folder that holds the program's executable.
std::wstring ApplicationFolder();

// The Windows system folder, such as C:\Windows\system32.
std::wstring SystemFolder();

// The system's Windows folder, such as C:\Windows.
std::wstring WindowsFolder();

// True for a 32-bit process on 64-bit Windows (x64, or ARM64 emulating x86).
bool RunsUnderWow64();

// The machine Windows itself runs on (IMAGE_FILE_MACHINE_AMD64, _ARM64 or
// _I386), whatever this process is built for; unknown when it cannot tell.
USHORT NativeMachine();

}  // namespace portsetup
