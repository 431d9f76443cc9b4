#include "platform/desktop.hpp"

#include <windows.h>

namespace portsetup {

bool WindowsCanBeSeen()
{
    DWORD session = 0;
    if (::ProcessIdToSessionId(::GetCurrentProcessId(), &session) && session == 0) {
        return false;
    }
    USEROBJECTFLAGS flags{};
    if (!::GetUserObjectInformationW(::GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags, nullptr)) {
        return true;  // not known: as on any desktop
    }
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace portsetup
