#include "driver/driver_setup.hpp"

#include <gtest/gtest.h>

namespace portsetup {
namespace {

// Notepad stands in for a printer set-up that does not end.
TEST(WaitForDriverCommand, ReportsASetUpThatDoesNotEndAndLeavesItRunning)
{
    std::wstring commandLine = L"notepad.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process));
    const UniqueKernelHandle processHandle(process.hProcess);
    const UniqueKernelHandle threadHandle(process.hThread);
    EXPECT_EQ(WaitForDriverCommand(process.hProcess, 300).error, static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ::TerminateProcess(process.hProcess, 0);
}

}  // namespace
}  // namespace portsetup
