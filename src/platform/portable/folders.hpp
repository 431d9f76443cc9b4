#pragma once

#include <string>
#include <string_view>

namespace portsetup {

// The folder that holds the system's own (native) programs, as this process
// must name it. A 32-bit process on 64-bit Windows (WOW64) sees the system
// folder redirected to the 32-bit one; "Sysnative" under the Windows folder
// is the name WOW64 keeps for the native folder. Empty when the folder it
// would be built from is unknown.
std::wstring NativeSystemFolder(std::wstring_view windowsFolder, std::wstring_view systemFolder, bool underWow64);

// The folder of a program's path: no trailing backslash, except at a drive's
// root ("C:\"), where the backslash stays.
std::wstring FolderOf(std::wstring_view programPath);

}  // namespace portsetup
