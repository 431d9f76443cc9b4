#include "platform/desktop.hpp"

#include <windows.h>

namespace portsetup {

bool WindowsCanBeSeen()
{
    // Services run apart from every user's desktop, under ID 0.
    DWORD sessionId = 0;
    if (::ProcessIdToSessionId(::GetCurrentProcessId(), &sessionId) && sessionId == 0) {
        return false;
    }
    USEROBJECTFLAGS flags{};
    if (!::GetUserObjectInformationW(::GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags, nullptr)) {
        return true;  // not known: as on any desktop
    }
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace portsetup
