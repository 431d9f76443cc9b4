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
        return L"the printer set-up did not end within ten minutes and was stopped";
    case ERROR_INSTALL_FAILURE:
        return L"the printer set-up did not work, or the settings could not be stored";
    case RPC_S_SERVER_UNAVAILABLE:
        return L"the Print Spooler service does not answer, nothing was started";
    default:
        return {};
    }
}

}  // namespace portsetup
