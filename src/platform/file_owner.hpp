#pragma once

#include <windows.h>

#include "platform/unique_handle.hpp"

namespace portsetup {

// Whether an open file (opened with READ_CONTROL) is owned by SYSTEM,
// Administrators, TrustedInstaller or the account this process runs as: not
// by a user who could have put it there first.
bool OwnedByAdministratorsOrSelf(HANDLE file);

struct LocalMemoryCloser {
    void operator()(void* memory) const noexcept { ::LocalFree(memory); }
};
using UniqueLocalMemory = UniqueHandle<void*, LocalMemoryCloser>;

// A security descriptor for a new file that SYSTEM, Administrators and the
// account this process runs as may use, and nobody else: its access list is
// its own, nothing inherited from the folder (where Users may read); empty
// when it cannot be made.
UniqueLocalMemory OwnersOnlySecurity();

}  // namespace portsetup
