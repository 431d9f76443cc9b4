#pragma once

#include <windows.h>

namespace portsetup {

// Whether an open file (opened with READ_CONTROL) is owned by SYSTEM,
// Administrators, TrustedInstaller or the account this process runs as: not
// by a user who could have put it there first.
bool OwnedByAdministratorsOrSelf(HANDLE file);

}  // namespace portsetup
