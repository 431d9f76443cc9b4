#pragma once

#include <windows.h>

#include "platform/system_functions.hpp"

namespace portsetup {

// Limits the folders Windows searches for DLLs loaded at run time to the
// system folder, so that a DLL left beside the program (in a download folder,
// say) or in the current folder is never picked up.
void RestrictDllSearchToSystemFolder();

// Turns on the process mitigations that suit this program, each where
// Windows has it (one it refuses is passed by): DLLs from the system folder
// first and never from a remote share or with a low integrity label (Windows
// 10 1607 on); links that non-administrators made not followed
// (RedirectionGuard, Windows 11 and 10 22H2). Without a window (the command
// line, run as SYSTEM by deployment systems), also DLLs signed by Microsoft
// only and no legacy extension points (AppInit DLLs, global hooks, layered
// Winsock providers, legacy input methods), Windows 8 on. Before any of them,
// the heap ends the process on corruption and, in the 32-bit program, DEP
// stays on (Windows 7 on). setPolicy: the system's unless given.
void TurnOnProcessMitigations(bool commandLine, SetProcessMitigationPolicyFunction setPolicy = nullptr);

}  // namespace portsetup
