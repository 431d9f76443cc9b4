#pragma once

#include <windows.h>

namespace portsetup {

// How a step waits: for an object to be signalled (a process to end), or for
// the time alone when object is null. Returns WAIT_OBJECT_0 or WAIT_TIMEOUT,
// as WaitForSingleObject does.
using WaitFunction = DWORD (*)(HANDLE object, DWORD milliseconds);

// Waits on this thread, taking no messages: for a program without a window.
DWORD WaitBlocking(HANDLE object, DWORD milliseconds);

// Waits while the thread's windows stay painted and answer their messages
// (a window that takes none for five seconds is shown as not responding).
DWORD WaitAnsweringMessages(HANDLE object, DWORD milliseconds);

// What the service control manager says of a service.
struct ServiceState {
    bool known = false;      // false when the manager could not be asked
    DWORD currentState = 0;  // SERVICE_RUNNING, SERVICE_START_PENDING, SERVICE_STOPPED, ...
    DWORD startType = 0;     // SERVICE_AUTO_START, SERVICE_DEMAND_START, SERVICE_DISABLED, ...
};
ServiceState QueryServiceState(const wchar_t* name);

}  // namespace portsetup
