#include "platform/mitigations.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace portsetup {
namespace {

std::vector<std::pair<PROCESS_MITIGATION_POLICY, DWORD>> asked;

// SetProcessMitigationPolicy as a Windows 10 before 22H2 answers it: a policy
// it does not have, RedirectionGuard's, refused with ERROR_INVALID_PARAMETER
// ("PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY", Windows docs, names the
// versions that have it); the rest taken.
BOOL WINAPI SetPolicyAsWindows10(PROCESS_MITIGATION_POLICY policy, PVOID buffer, SIZE_T size)
{
    asked.emplace_back(policy, size == sizeof(DWORD) ? *static_cast<DWORD*>(buffer) : 0xFFFFFFFF);
    if (policy == ProcessRedirectionTrustPolicy) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

// The dialog asks for the image-load and redirection policies, passing by
// one Windows refuses; the command line also for Microsoft-signed DLLs only
// and no extension points.
TEST(ProcessMitigations, TurnsOnWhatSuitsTheRunAndPassesByWhatWindowsLacks)
{
    const std::vector<std::pair<PROCESS_MITIGATION_POLICY, DWORD>> dialog{{ProcessImageLoadPolicy, 0x7},
                                                                          {ProcessRedirectionTrustPolicy, 0x1}};
    TurnOnProcessMitigations(false, &SetPolicyAsWindows10);
    EXPECT_EQ(asked, dialog);
    asked.clear();
    TurnOnProcessMitigations(true, &SetPolicyAsWindows10);
    auto commandLine = dialog;
    commandLine.insert(commandLine.end(), {{ProcessSignaturePolicy, 0x1}, {ProcessExtensionPointDisablePolicy, 0x1}});
    EXPECT_EQ(asked, commandLine);
}

}  // namespace
}  // namespace portsetup
