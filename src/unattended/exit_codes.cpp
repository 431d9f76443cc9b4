#include "unattended/exit_codes.hpp"

namespace portsetup {

std::wstring_view ExitCodeMeaning(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS:
        return L"done";
    case ERROR_INVALID_PARAMETER:
        return L"the command line was refused, nothing was done";
    case ERROR_TIMEOUT:
        return L"the printer set-up did not end within ten minutes, or the run within fifteen, and was stopped";
    case ERROR_INSTALL_FAILURE:
        return L"the printer set-up did not work, or the settings could not be stored";
    case RPC_S_SERVER_UNAVAILABLE:
        return L"the Print Spooler service does not answer, nothing was started";
    case ERROR_SERVICE_DISABLED:
        return L"the Print Spooler service is disabled, nothing was started";
    case ERROR_DRIVER_BLOCKED:
        return L"Windows protected print mode is on, nothing was started";
    default:
        return {};
    }
}

}  // namespace portsetup
