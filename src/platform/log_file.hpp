#pragma once

#include <string>
#include <string_view>

#include "platform/win32_handles.hpp"

namespace portsetup {

// The log of a run, opened once and appended to a line at a time, in UTF-8.
// The program may run as SYSTEM, so nothing a standard user can place on the
// path steers it: the folder must exist and be reached through no link (a
// junction, a symbolic link), the file is created or opened relative to that
// folder without following a link, and it must be a file of its own (one
// name), owned by SYSTEM, Administrators, TrustedInstaller or this account
// when it was there before. A log refused so is not written at all.
class LogFile {
public:
    // An empty path: no log. %VARIABLES% in it are expanded; it must be a
    // full path (C:\... or \\server\...).
    explicit LogFile(const std::wstring& path);

    // Why the log is not written; empty when it is, or when none was asked for.
    [[nodiscard]] const std::wstring& RefusedBecause() const { return refused_; }

    // Appends "YYYY-MM-DD hh:mm:ss  text" and a line break, the text's control
    // characters escaped.
    void Append(std::wstring_view text) const;

private:
    UniqueFile file_;
    std::wstring refused_;
};

// Whether an open file (opened with READ_CONTROL) is owned by SYSTEM,
// Administrators, TrustedInstaller or the account this process runs as: not
// by a user who could have put it there first.
bool OwnedByAdministratorsOrSelf(HANDLE file);

// A security descriptor for a new file that SYSTEM, Administrators and the
// account this process runs as may use, and nobody else: its access list is
// its own, nothing inherited from the folder (where Users may read); empty
// when it cannot be made.
UniqueLocalMemory OwnersOnlySecurity();

}  // namespace portsetup
