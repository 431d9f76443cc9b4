#pragma once

#include <windows.h>

namespace portsetup {

// SetProcessMitigationPolicy (Windows 8 on), later than the headers used.
using SetMitigationPolicyFunction = BOOL(WINAPI*)(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);

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
void TurnOnProcessMitigations(bool commandLine, SetMitigationPolicyFunction setPolicy = nullptr);

}  // namespace portsetup
