#pragma once

#include <string>
#include <string_view>

namespace portsetup {

// Appends "YYYY-MM-DD hh:mm:ss  text" and a line break to the file, in
// UTF-8, creating it if need be. A log that cannot be written is let go, and
// so is one that is not a plain file of its own at that path (a link, a
// junction, a file with another name as well): nothing is written to it.
void AppendLogLine(const std::wstring& file, std::wstring_view text);

}  // namespace portsetup
