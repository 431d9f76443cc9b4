#pragma once

#include "unattended/command_line.hpp"

namespace portsetup {

// Carries out an install or removal asked for on the command line, without a
// window, and waits for it: returns the exit code (0, 87, 1460, 1603 or the
// Windows error that stopped it).
int RunUnattended(const SetupRequest& request);

}  // namespace portsetup
