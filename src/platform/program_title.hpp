#pragma once

namespace portsetup {

// The window's caption, and the title of every message the program shows.
inline constexpr const wchar_t* kProgramTitle = L"Select Port Type";

}  // namespace portsetup
