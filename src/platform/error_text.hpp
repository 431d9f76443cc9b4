#pragma once

#include <windows.h>

#include <string>

namespace portsetup {

// The system's own description of a Windows error code, without the line
// break that FormatMessageW appends; a plain "Error N" when it has none.
std::wstring SystemErrorText(DWORD errorCode);

}  // namespace portsetup
