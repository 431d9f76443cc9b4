#pragma once

#include <string>
#include <string_view>

namespace portsetup {

// Appends "YYYY-MM-DD hh:mm:ss  text" and a line break to the file, in
// UTF-8, creating it if need be. A log that cannot be written is let go.
void AppendLogLine(const std::wstring& file, std::wstring_view text);

}  // namespace portsetup
