#pragma once

#include <windows.h>

#include <string>

#include "platform/portable/log_text.hpp"  // DecimalText

namespace portsetup {

// The system's own description of a Windows error code, without the line
// break that FormatMessageW appends; a plain "Error N" when it has none.
std::wstring SystemErrorText(DWORD errorCode);

// An HRESULT as Windows writes it: "0x80040154".
std::wstring HresultText(HRESULT result);

}  // namespace portsetup
