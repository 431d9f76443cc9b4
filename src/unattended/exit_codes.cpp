#include "unattended/exit_codes.hpp"

namespace portsetup {

std::wstring_view ExitCodeMeaning(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS:
        return L"done";
    case ERROR_INVALID_PARAMETER:
        return L"the command line was refused (unknown, missing or out-of-range option, or a port the PC does not "
               L"have); nothing was done";
    case ERROR_TIMEOUT:
        return L"the printer set-up did not end within ten minutes (it was ended), or the whole run within fifteen";
    case ERROR_INSTALL_FAILURE:
        return L"the spooler shows that the set-up did not work, the printer was still being deleted 30 seconds "
               L"after its deletion, or the port's settings could not be stored";
    case RPC_S_SERVER_UNAVAILABLE:
        return L"the Print Spooler service does not answer (stopped, or still not running 60 seconds after it was "
               L"set to start); nothing was started";
    case ERROR_SERVICE_DISABLED:
        return L"the Print Spooler service is disabled; nothing was started";
    case ERROR_DRIVER_BLOCKED:
        return L"Windows protected print mode is on: it takes no driver but Microsoft's; nothing was started";
    default:
        return {};
    }
}

}  // namespace portsetup
