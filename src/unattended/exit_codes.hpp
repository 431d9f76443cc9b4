#pragma once

#include <array>
#include <string_view>

namespace portsetup {

// What an exit code of the command line means, as /? and the log's last
// line say it (the README's table says the same). Codes are Windows' own
// error codes, by their names in winerror.h. The texts are ASCII, kept one
// byte a character.
struct ExitCodeEntry {
    unsigned long code;
    std::string_view meaning;  // ASCII
};
inline constexpr std::array<ExitCodeEntry, 15> kExitCodes{{
    {0, "done (for /remove also: nothing was installed; for /check: installed as asked)"},
    {2, "the driver information file is not beside the program; nothing was started or stored"},
    {87,
     "the command line was refused (unknown, missing or out-of-range option, or a port the PC does not have); "
     "nothing was done"},
    {740, "started without administrator rights (Windows' own refusal); nothing was done"},
    {1058, "the Print Spooler service is disabled; nothing was started"},
    {1275, "Windows protected print mode is on: it takes no driver but Microsoft's; nothing was started"},
    {1459, "started without arguments where nobody can see the dialog; nothing was done"},
    {1460, "the printer set-up did not end within ten minutes (it was ended), or the whole run within fifteen"},
    {1603, "the spooler shows that the set-up did not work, or the port's settings could not be stored"},
    {1605, "/check: the printer is not installed"},
    {1610, "/check: the printer is installed on the port, and the port has other settings"},
    {1618,
     "try again later: the Print Spooler service was still starting after 60 seconds, or the printer was "
     "still being deleted 30 seconds after its deletion"},
    {1622,
     "the log cannot be written (a relative path, a folder that does not exist, or refused by the log's "
     "rules); nothing was done"},
    {1722, "the Print Spooler service does not answer (stopped); nothing was started"},
    {1796, "/check: the printer is installed on another port"},
}};

// The meaning of one of the codes above; empty for any other Windows error,
// whose own text says it.
std::string_view ExitCodeMeaning(unsigned long code);

}  // namespace portsetup
