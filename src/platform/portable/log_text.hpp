#pragma once

#include <string>
#include <string_view>

namespace portsetup {

// A text as it may stand in a line of a log: every character below U+0020,
// and U+007F, written as \r, \n or \xNN, so that nothing in it can end the
// line or start another.
std::wstring EscapedForLog(std::wstring_view text);

// An argument as a log line names it: quoted (a quote in it as \") where it
// is empty or holds a space, a quote or a control character, which the log
// escapes.
std::wstring QuotedArgument(std::wstring_view argument);

// A text of ASCII characters as the program's wide text. The program's long
// texts are kept in the file one byte a character and widened where used:
// "...."_w is such a text as a std::wstring.
std::wstring Widened(std::string_view ascii);
std::wstring operator""_w(const char* ascii, std::size_t length);

// A number in decimal, with leading zeros up to minimumDigits (without the
// C library's formatting, which would add its number conversion to the
// program).
std::wstring DecimalText(unsigned long number, std::size_t minimumDigits = 1);

}  // namespace portsetup
