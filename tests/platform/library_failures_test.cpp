#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dialog/form_layout.hpp"
#include "platform/system_paths.hpp"
#include "platform/win32_handles.hpp"
#include "support/wine_test_support.hpp"

namespace portsetup {
namespace {

struct ProbeOutcome {
    std::wstring caption;
    std::wstring message;
    DWORD exitCode = 0;
};

struct BoxSearch {
    DWORD processId = 0;
    HWND box = nullptr;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<BoxSearch*>(parameter);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && ::IsWindowVisible(window) && testing::ClassOf(window) == L"#32770") {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

// Starts the probe (built beside these tests) with FAILURE, keeps the text of
// the message box it shows, answers it and waits for the probe's end.
ProbeOutcome RunProbe(const std::wstring& failure)
{
    ProbeOutcome outcome;
    const std::wstring probe = ApplicationFolder() + L"\\library_failure_probe.exe";
    std::wstring commandLine = L"\"" + probe + L"\" " + failure;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(probe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        ADD_FAILURE() << "cannot start the probe: " << ::GetLastError();
        return outcome;
    }
    const UniqueKernelHandle processHandle(process.hProcess);
    const UniqueKernelHandle threadHandle(process.hThread);

    BoxSearch search{process.dwProcessId, nullptr};
    for (int attempt = 0; attempt < 400 && search.box == nullptr; ++attempt) {
        if (::WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) {
            break;
        }
        ::EnumWindows(&FindMessageBox, reinterpret_cast<LPARAM>(&search));
    }
    if (search.box != nullptr) {
        outcome.caption = testing::TextOf(search.box);
        outcome.message = testing::MessageBoxText(search.box);
        ::PostMessageW(search.box, WM_COMMAND, IDOK, 0);
    }
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, 5000);
    }
    ::GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    return outcome;
}

// Built without exceptions, the program cannot carry on when memory runs out
// or a string would outgrow its largest size: it says so and ends with the
// system's code for lack of memory, rather than crashing or going on.
TEST(LibraryFailures, EndTheProgramWithAMessage)
{
    for (const wchar_t* failure : {L"memory", L"length"}) {
        const ProbeOutcome outcome = RunProbe(failure);
        EXPECT_EQ(outcome.caption, kFormCaption) << testing::Narrow(failure);
        EXPECT_EQ(outcome.message, L"There is not enough memory to go on.") << testing::Narrow(failure);
        EXPECT_EQ(outcome.exitCode, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << testing::Narrow(failure);
    }
}

}  // namespace
}  // namespace portsetup
