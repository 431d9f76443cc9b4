#pragma once

#include <windows.h>

#include <string_view>

namespace portsetup {

// What an exit code of the command-line mode means, for the log; empty for
// any other Windows error, whose own text says it.
std::wstring_view ExitCodeMeaning(DWORD code);

}  // namespace portsetup
