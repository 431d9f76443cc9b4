#include "platform/dll_search.hpp"

#include <windows.h>

#include "platform/system_function.hpp"

namespace portsetup {

void RestrictDllSearchToSystemFolder()
{
    // Windows 7 has SetDefaultDllDirectories only with an update.
    const auto setDefaultDllDirectories =
        SYSTEM_FUNCTION(::GetModuleHandleW(L"kernel32.dll"), SetDefaultDllDirectories);
    if (setDefaultDllDirectories != nullptr) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    ::SetDllDirectoryW(L"");  // takes the current folder out of the search
}

}  // namespace portsetup
