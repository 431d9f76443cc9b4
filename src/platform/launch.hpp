#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32_handles.hpp"

namespace portsetup {

// The native rundll32.exe in the system folder: the one that loads the
// spooler's own printui.dll, also for this program's 32-bit build on 64-bit
// Windows. Started by its bare name, Windows would look in the program's own
// folder first, where anyone could have put one.
std::wstring SystemRundll32Path();

// Starts applicationPath with commandLine as its command line, in the given
// show state and current folder, and returns without waiting; the process is handed to
// *process when asked for. Returns 0, or the Windows error code when the
// process could not be started.
DWORD Launch(const std::wstring& applicationPath, std::wstring_view commandLine, WORD showCommand,
             const std::wstring& currentFolder, UniqueKernelHandle* process = nullptr);

}  // namespace portsetup
