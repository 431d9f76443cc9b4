#pragma once

#include <windows.h>

namespace portsetup {

// A function of a loaded module, by name, as a pointer of its real type;
// nullptr when the module has no such export.
template <typename Function>
Function ProcAddress(HMODULE module, const char* name)
{
    // GetProcAddress returns a generic pointer; going through void(*)() is
    // the form the compiler accepts for a cast to another function type.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace portsetup
