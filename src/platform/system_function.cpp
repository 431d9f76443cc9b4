#include "platform/system_function.hpp"

#include <string>

#include "platform/system_paths.hpp"

namespace portsetup {

HMODULE SystemLibrary(const wchar_t* fileName)
{
    return ::LoadLibraryW((SystemFolder() + L"\\" + fileName).c_str());
}

HMODULE Advapi32()
{
    static const HMODULE advapi = SystemLibrary(L"advapi32.dll");
    return advapi;
}

}  // namespace portsetup
