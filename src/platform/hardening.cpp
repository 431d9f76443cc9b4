#include "platform/hardening.hpp"

namespace portsetup {

void RestrictDllSearchToSystemFolder()
{
    // Windows 7 has SetDefaultDllDirectories only with an update.
    if (const auto setDefaultDllDirectories = Kernel32().SetDefaultDllDirectories) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    ::SetDllDirectoryW(L"");  // takes the current folder out of the search
}

void TurnOnProcessMitigations(bool commandLine, SetProcessMitigationPolicyFunction setPolicy)
{
    ::HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
#ifndef _WIN64
    ::SetProcessDEPPolicy(PROCESS_DEP_ENABLE | PROCESS_DEP_DISABLE_ATL_THUNK_EMULATION);
#endif
    if (setPolicy == nullptr) {
        setPolicy = Kernel32().SetProcessMitigationPolicy;
    }
    if (setPolicy == nullptr) {
        return;  // Windows 7
    }
    const auto turnOn = [setPolicy](PROCESS_MITIGATION_POLICY policy, DWORD flags) {
        setPolicy(policy, &flags, sizeof flags);  // each policy's structure is its DWORD of flags
    };
    PROCESS_MITIGATION_IMAGE_LOAD_POLICY imageLoad{};
    imageLoad.NoRemoteImages = 1;
    imageLoad.NoLowMandatoryLabelImages = 1;
    imageLoad.PreferSystem32Images = 1;
    turnOn(ProcessImageLoadPolicy, imageLoad.Flags);
    PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY redirectionTrust{};
    redirectionTrust.EnforceRedirectionTrust = 1;
    turnOn(ProcessRedirectionTrustPolicy, redirectionTrust.Flags);
    if (commandLine) {
        PROCESS_MITIGATION_BINARY_SIGNATURE_POLICY signature{};
        signature.MicrosoftSignedOnly = 1;
        turnOn(ProcessSignaturePolicy, signature.Flags);
        PROCESS_MITIGATION_EXTENSION_POINT_DISABLE_POLICY extensionPoints{};
        extensionPoints.DisableExtensionPoints = 1;
        turnOn(ProcessExtensionPointDisablePolicy, extensionPoints.Flags);
    }
}

}  // namespace portsetup
