#include "platform/service_state.hpp"

#include <vector>

#include "platform/system_function.hpp"
#include "platform/unique_handle.hpp"

namespace portsetup {

namespace {

struct ServiceHandleCloser {
    void operator()(SC_HANDLE handle) const noexcept
    {
        static const auto closeServiceHandle = SYSTEM_FUNCTION(Advapi32(), CloseServiceHandle);
        if (closeServiceHandle != nullptr) {
            closeServiceHandle(handle);
        }
    }
};
using UniqueServiceHandle = UniqueHandle<SC_HANDLE, ServiceHandleCloser>;

}  // namespace

ServiceState QueryServiceState(const wchar_t* name)
{
    static const auto openManager = SYSTEM_FUNCTION(Advapi32(), OpenSCManagerW);
    static const auto openService = SYSTEM_FUNCTION(Advapi32(), OpenServiceW);
    static const auto queryStatus = SYSTEM_FUNCTION(Advapi32(), QueryServiceStatusEx);
    static const auto queryConfig = SYSTEM_FUNCTION(Advapi32(), QueryServiceConfigW);
    ServiceState state;
    if (openManager == nullptr || openService == nullptr || queryStatus == nullptr || queryConfig == nullptr) {
        return state;
    }
    const UniqueServiceHandle manager(openManager(nullptr, nullptr, SC_MANAGER_CONNECT));
    const UniqueServiceHandle service(
        manager ? openService(manager.get(), name, SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG) : nullptr);
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!service ||
        !queryStatus(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status, &needed)) {
        return state;
    }
    queryConfig(service.get(), nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + sizeof(QUERY_SERVICE_CONFIGW));
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (queryConfig(service.get(), config, static_cast<DWORD>(buffer.size()), &needed)) {
        state = {true, status.dwCurrentState, config->dwStartType};
    }
    return state;
}

}  // namespace portsetup
