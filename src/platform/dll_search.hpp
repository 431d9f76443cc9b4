#pragma once

namespace portsetup {

// Limits the folders Windows searches for DLLs loaded at run time to the
// system folder, so that a DLL left beside the program (in a download folder,
// say) or in the current folder is never picked up.
void RestrictDllSearchToSystemFolder();

}  // namespace portsetup
