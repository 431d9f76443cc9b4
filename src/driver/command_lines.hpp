#pragma once

#include <string>
#include <string_view>

namespace portsetup {

// Used both as the printer's name and as the driver's model name.
inline constexpr std::wstring_view kDriverModelName = L"Q7 MiniPrinter(Cut Mode)";
// Beside the program: appended to its folder after a backslash.
inline constexpr std::wstring_view kInformationFileName = L"ZUTW2KXPDrvs.INF";

// The information file's path in a folder, composed as the install line
// names it (a drive's root gives a doubled backslash, which Windows takes).
std::wstring InformationFilePath(std::wstring_view applicationFolder);

// The line that installs the printer from the information file beside the
// program. The file path is quoted: a folder such as "C:\Program Files\…"
// would otherwise be split at its first space.
std::wstring InstallCommandLine(std::wstring_view applicationFolder, std::wstring_view portName);

// The line that removes the printer's driver; it names no port.
std::wstring RemovalCommandLine();

}  // namespace portsetup
