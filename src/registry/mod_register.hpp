#pragma once

#include <windows.h>

#include <string>

namespace portsetup::Mod_Register {

inline constexpr REGSAM kWriteAccess = 0x0002003F;  // read control and the six key rights

// Writes data as a REG_SZ value into a key that already exists. A key that
// cannot be opened is not created: nothing is written. Returns the status of
// the open, or of the write.
// Its three registry functions are bound from advapi32.dll by name at the
// first call.
LONG SetRegString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& data);

// A REG_SZ value's text, read in the view the writer writes. Returns the
// status of the open, or of the reading (ERROR_FILE_NOT_FOUND: no such
// value; ERROR_INVALID_DATATYPE: not a text).
LONG GetRegString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, std::wstring* data);

}  // namespace portsetup::Mod_Register
