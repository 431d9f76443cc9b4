#include "platform/dll_search.hpp"

#include <windows.h>

#include "platform/proc_address.hpp"

namespace portsetup {

void RestrictDllSearchToSystemFolder()
{
    // Windows 7 has SetDefaultDllDirectories only with an update.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefaultDllDirectories = ProcAddress<SetDefaultDllDirectoriesFn>(kernel, "SetDefaultDllDirectories");
    if (setDefaultDllDirectories != nullptr) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    ::SetDllDirectoryW(L"");  // takes the current folder out of the search
}

}  // namespace portsetup
