// Runs into the C++ library's failures, built and linked the way the program
// is: "memory" asks for more memory than there is, "length" for a string
// longer than a string can be. Returns 0 if neither ended it.
//
// "hidden COMMAND LINE" starts COMMAND LINE on a window station of its own,
// which is not the visible one: as a deployment agent running as SYSTEM starts
// a program, nobody can see or answer its windows. Ends with the program's
// exit code, or with 124 once it has been ended for not ending within 20
// seconds (a window waiting for an answer).
#include <windows.h>

#include <cstdint>
#include <new>
#include <string>
#include <string_view>

namespace {

int StartHidden(std::wstring line)
{
    const HWINSTA visible = ::GetProcessWindowStation();
    const HWINSTA hidden = ::CreateWindowStationW(L"PortSetupHidden", 0, WINSTA_ALL_ACCESS, nullptr);
    if (hidden == nullptr || !::SetProcessWindowStation(hidden)) {
        return 3;
    }
    const HDESK desktop = ::CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    ::SetProcessWindowStation(visible);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring desktopName = L"PortSetupHidden\\Default";
    startup.lpDesktop = desktopName.data();
    PROCESS_INFORMATION started{};
    if (desktop == nullptr ||
        !::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        return 4;
    }
    DWORD code = 124;
    if (::WaitForSingleObject(started.hProcess, 20000) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(started.hProcess, &code);
    } else {
        ::TerminateProcess(started.hProcess, code);
    }
    return static_cast<int>(code);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR commandLine, int /*showCommand*/)
{
    const std::wstring_view failure(commandLine);
    if (failure.substr(0, 7) == L"hidden ") {
        return StartHidden(std::wstring(failure.substr(7)));
    }
    if (failure == L"memory") {
        void* memory = ::operator new(PTRDIFF_MAX);
        ::OutputDebugStringA(static_cast<const char*>(memory));
        ::operator delete(memory);
    } else if (failure == L"length") {
        std::wstring text;
        text.reserve(text.max_size() + 1);
        ::OutputDebugStringW(text.c_str());
    }
    return 0;
}
