#pragma once

#include "unattended/command_line.hpp"

namespace portsetup {

// Carries out an install, a removal or a check asked for on the command
// line, without a window, and waits for it: returns the exit code, one of
// kExitCodes (exit_codes.hpp) or the Windows error that stopped it.
int RunUnattended(const SetupRequest& request);

}  // namespace portsetup
