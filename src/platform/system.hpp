#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32_handles.hpp"

namespace portsetup {

// A path from a function that, like GetFullPathNameW or GetSystemDirectoryW,
// gives the size it needs when the buffer is too small:
// get(buffer, size) returns that size, or the length written; empty on failure.
template <typename Get>
std::wstring PathFrom(Get get)
{
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto length = static_cast<std::size_t>(get(path.data(), static_cast<DWORD>(path.size())));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length + 1);
    }
    return {};
}

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

// False where no one can see a window or answer it: where services run,
// or a window station that is not the visible one (as SYSTEM under a
// deployment agent). A window there would wait for ever.
bool WindowsCanBeSeen();

}  // namespace portsetup
