#pragma once

namespace portsetup {

// The window's caption, and the title of the dialog's messages.
inline constexpr const wchar_t* kProgramTitle = L"Select Port Type";

// The title of the messages of the command-line mode, which has no window.
inline constexpr const wchar_t* kCommandLineTitle = L"PortSetup";

}  // namespace portsetup
