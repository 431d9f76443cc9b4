#include "platform/waiting.hpp"

#include <vector>

#include "platform/win32_handles.hpp"

namespace portsetup {

DWORD WaitBlocking(HANDLE object, DWORD milliseconds)
{
    if (object == nullptr) {
        ::Sleep(milliseconds);
        return WAIT_TIMEOUT;
    }
    return ::WaitForSingleObject(object, milliseconds);
}

DWORD WaitAnsweringMessages(HANDLE object, DWORD milliseconds)
{
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    const DWORD count = object != nullptr ? 1 : 0;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const auto left = static_cast<DWORD>(now < end ? end - now : 0);
        const DWORD woken = ::MsgWaitForMultipleObjectsEx(count, &object, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0 && count == 1) {
            return WAIT_OBJECT_0;
        }
        if (woken == WAIT_TIMEOUT || woken == WAIT_FAILED || left == 0) {
            return WAIT_TIMEOUT;
        }
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(message.wParam));  // for the message loop after the wait
                return WAIT_TIMEOUT;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

ServiceState QueryServiceState(const wchar_t* name)
{
    ServiceState state;
    const UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const UniqueServiceHandle service(
        manager ? ::OpenServiceW(manager.get(), name, SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG) : nullptr);
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!service || !::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                            sizeof status, &needed)) {
        return state;
    }
    ::QueryServiceConfigW(service.get(), nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + sizeof(QUERY_SERVICE_CONFIGW));
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (::QueryServiceConfigW(service.get(), config, static_cast<DWORD>(buffer.size()), &needed)) {
        state = {true, status.dwCurrentState, config->dwStartType};
    }
    return state;
}

}  // namespace portsetup
