#pragma once

#include <windows.h>

#include <string>

namespace portsetup {

// The system's own description of a Windows error code, without the line
// break that FormatMessageW appends; a plain "Error N" when it has none.
std::wstring SystemErrorText(DWORD errorCode);

// A number in decimal, with leading zeros up to minimumDigits (without the
// C library's formatting, which would add its number conversion to the
// program).
std::wstring DecimalText(DWORD number, std::size_t minimumDigits = 1);

// An HRESULT as Windows writes it: "0x80040154".
std::wstring HresultText(HRESULT result);

}  // namespace portsetup
