#pragma once

#include <string>

#include "driver/driver_setup.hpp"
#include "platform/error_text.hpp"

namespace portsetup {

// What the operator is told of a failed set-up, in the dialog's message or
// the command line's where a window can be seen: what could not be done, and
// the system's text for its error.
inline std::wstring FailureReport(const SetupResult& result)
{
    return result.failure + L"\n\n" + SystemErrorText(result.error);
}

}  // namespace portsetup
