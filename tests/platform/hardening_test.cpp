#include "platform/hardening.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/system.hpp"

namespace portsetup {
namespace {

// A DLL planted beside the program (the build puts planted_probe.dll beside
// this test) and one in the current folder are found before the search is
// restricted and not after it, while the system folder's DLLs still are.
TEST(DllSearch, PlantedDllsAreNotFoundOnceRestricted)
{
    wchar_t temp[MAX_PATH];
    ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring currentFolder = std::wstring(temp) + L"portsetup-current-folder";
    ::CreateDirectoryW(currentFolder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW((ApplicationFolder() + L"\\planted_probe.dll").c_str(),
                            (currentFolder + L"\\current_probe.dll").c_str(), FALSE));
    ASSERT_TRUE(::SetCurrentDirectoryW(currentFolder.c_str()));
    // The error of loading a DLL by bare name, as a system library would; 0 when found.
    const auto loadError = [](const wchar_t* name) {
        const HMODULE module = ::LoadLibraryW(name);
        return module == nullptr ? ::GetLastError() : (::FreeLibrary(module), 0u);
    };
    const wchar_t* planted[] = {L"planted_probe.dll", L"current_probe.dll"};
    for (const wchar_t* name : planted) {
        ASSERT_EQ(loadError(name), 0u) << "an unrestricted search finds it";
    }
    RestrictDllSearchToSystemFolder();
    for (const wchar_t* name : planted) {
        EXPECT_EQ(loadError(name), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    }
    EXPECT_EQ(loadError(L"mpr.dll"), 0u);
}

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
