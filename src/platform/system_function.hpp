#pragma once

#include <windows.h>

namespace portsetup {

// A DLL of the system folder, loaded by its full path and kept loaded for
// the run; nullptr, with the error in GetLastError(), when it cannot be.
HMODULE SystemLibrary(const wchar_t* fileName);

// advapi32.dll, which the program does not import: loaded at the first call.
HMODULE Advapi32();

// A function of a loaded module, by name, as a pointer of the given type;
// nullptr when the module (or this Windows) has no such export.
template <typename Function>
Function ProcAddress(HMODULE module, const char* name)
{
    // GetProcAddress returns a generic pointer; going through void(*)() is
    // the form the compiler accepts for a cast to another function type.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace portsetup

// A function the system headers declare for the Windows the program is built
// for, typed from that declaration, so that every call through it is checked
// as a direct call would be. Functions of later Windows, which those headers
// leave out, go through ProcAddress with a type written from their
// documentation.
#define SYSTEM_FUNCTION(module, name) ::portsetup::ProcAddress<decltype(&::name)>((module), #name)
