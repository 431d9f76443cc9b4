#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace portsetup::testing {

// One start of the stand-in rundll32.exe, as it recorded it.
struct LaunchRecord {
    std::wstring image;  // the file that was started
    int show = -1;       // the show state it was given
    std::wstring commandLine;
};

// A fresh record file for the stand-in, named to it through the environment
// that child processes inherit. Removed when the object goes.
class LaunchLog {
public:
    LaunchLog();
    ~LaunchLog();
    LaunchLog(const LaunchLog&) = delete;
    LaunchLog& operator=(const LaunchLog&) = delete;

    // What has been recorded so far.
    [[nodiscard]] std::vector<LaunchRecord> Records() const;
    // Waits (at most a generous while) until count starts are recorded.
    [[nodiscard]] std::vector<LaunchRecord> WaitFor(std::size_t count) const;

private:
    std::wstring path_;
};

// Handles every message waiting in this thread's queue; returns the exit
// code of a WM_QUIT among them, or -1.
int PumpMessages();

// The values of HKLM\...\Ports, name to text.
std::map<std::wstring, std::wstring> PortsValues();

// A window's class name and its text.
std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);

// The text of a message box: its static controls' texts, in order.
std::wstring MessageBoxText(HWND box);

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& text);

}  // namespace portsetup::testing
