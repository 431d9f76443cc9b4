#pragma once

#include <windows.h>

namespace portsetup {

// What the service control manager says of a service.
struct ServiceState {
    bool known = false;      // false when the manager could not be asked
    DWORD currentState = 0;  // SERVICE_RUNNING, SERVICE_START_PENDING, SERVICE_STOPPED, ...
    DWORD startType = 0;     // SERVICE_AUTO_START, SERVICE_DEMAND_START, SERVICE_DISABLED, ...
};
ServiceState QueryServiceState(const wchar_t* name);

}  // namespace portsetup
