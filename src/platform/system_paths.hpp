#pragma once

#include <windows.h>

#include <string>

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

}  // namespace portsetup
