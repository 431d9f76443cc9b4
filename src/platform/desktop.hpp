#pragma once

namespace portsetup {

// False where no one can see a window or answer it: where services run,
// or a window station that is not the visible one (as SYSTEM under a
// deployment agent). A window there would wait for ever.
bool WindowsCanBeSeen();

}  // namespace portsetup
