#include "unattended/exit_codes.hpp"

#include <algorithm>

namespace portsetup {

std::string_view ExitCodeMeaning(unsigned long code)
{
    const auto* found = std::find_if(kExitCodes.begin(), kExitCodes.end(),
                                     [code](const ExitCodeEntry& entry) { return entry.code == code; });
    return found == kExitCodes.end() ? std::string_view() : found->meaning;
}

}  // namespace portsetup
