#pragma once

#include <array>
#include <string_view>

namespace portsetup {

// What an exit code of the command line means, as /? and the log's last
// line say it (the README's table says the same). Codes are Windows' own
// error codes, by their names in winerror.h.
struct ExitCodeEntry {
    unsigned long code;
    std::wstring_view meaning;
};
inline constexpr std::array<ExitCodeEntry, 15> kExitCodes{{
    {0, L"done (for /remove also: nothing was installed; for /check: installed as asked)"},
    {2, L"the driver information file is not beside the program; nothing was started or stored"},
    {87,
     L"the command line was refused (unknown, missing or out-of-range option, or a port the PC does not have); "
     L"nothing was done"},
    {740, L"started without administrator rights (Windows' own refusal); nothing was done"},
    {1058, L"the Print Spooler service is disabled; nothing was started"},
    {1275, L"Windows protected print mode is on: it takes no driver but Microsoft's; nothing was started"},
    {1459, L"started without arguments where nobody can see the dialog; nothing was done"},
    {1460, L"the printer set-up did not end within ten minutes (it was ended), or the whole run within fifteen"},
    {1603, L"the spooler shows that the set-up did not work, or the port's settings could not be stored"},
    {1605, L"/check: the printer is not installed"},
    {1610, L"/check: the printer is installed on the port, and the port has other settings"},
    {1618,
     L"try again later: the Print Spooler service was still starting after 60 seconds, or the printer was "
     L"still being deleted 30 seconds after its deletion"},
    {1622,
     L"the log cannot be written (a relative path, a folder that does not exist, or refused by the log's "
     L"rules); nothing was done"},
    {1722, L"the Print Spooler service does not answer (stopped); nothing was started"},
    {1796, L"/check: the printer is installed on another port"},
}};

// The meaning of one of the codes above; empty for any other Windows error,
// whose own text says it.
std::wstring_view ExitCodeMeaning(unsigned long code);

}  // namespace portsetup
