#pragma once

#include <windows.h>

#include <string>

namespace portsetup::Mod_Register {

inline constexpr REGSAM kWriteAccess = 0x0002003F;  // read control and the six key rights

// Writes data as a REG_SZ value into a key that already exists. A key that
// cannot be opened is neither created nor reported: nothing is written.
// The registry functions are bound from advapi32.dll at the first call.
void SetRegString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& data);

}  // namespace portsetup::Mod_Register
