#include "platform/file_owner.hpp"

#include <aclapi.h>
#include <sddl.h>

#include <array>
#include <string>
#include <vector>

#include "platform/system_function.hpp"
#include "platform/win32_handles.hpp"

namespace portsetup {

namespace {

// A SID as text ("S-1-5-18"); empty when it cannot be told.
std::wstring SidText(PSID sid)
{
    static const auto toText = SYSTEM_FUNCTION(Advapi32(), ConvertSidToStringSidW);
    wchar_t* text = nullptr;
    if (sid == nullptr || toText == nullptr || !toText(sid, &text)) {
        return {};
    }
    const UniqueLocalMemory owned(text);
    return text;
}

// The account this process runs as.
std::wstring ProcessAccount()
{
    static const auto openToken = SYSTEM_FUNCTION(Advapi32(), OpenProcessToken);
    static const auto tokenInformation = SYSTEM_FUNCTION(Advapi32(), GetTokenInformation);
    HANDLE opened = nullptr;
    if (openToken == nullptr || tokenInformation == nullptr ||
        !openToken(::GetCurrentProcess(), TOKEN_QUERY, &opened)) {
        return {};
    }
    const UniqueKernelHandle token(opened);
    DWORD size = 0;
    tokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size + sizeof(TOKEN_USER));
    if (!tokenInformation(token.get(), TokenUser, user.data(), static_cast<DWORD>(user.size()), &size)) {
        return {};
    }
    return SidText(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

}  // namespace

bool OwnedByAdministratorsOrSelf(HANDLE file)
{
    static const auto securityInfo = SYSTEM_FUNCTION(Advapi32(), GetSecurityInfo);
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (securityInfo == nullptr || securityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                                                nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueLocalMemory ownedDescriptor(descriptor);
    const std::wstring ownerText = SidText(owner);
    const std::array<std::wstring, 4> trusted{
        L"S-1-5-18",                                                        // SYSTEM
        L"S-1-5-32-544",                                                    // Administrators
        L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
        ProcessAccount()};
    for (const std::wstring& account : trusted) {
        if (!ownerText.empty() && ownerText == account) {
            return true;
        }
    }
    return false;
}

UniqueLocalMemory OwnersOnlySecurity()
{
    static const auto fromText = SYSTEM_FUNCTION(Advapi32(), ConvertStringSecurityDescriptorToSecurityDescriptorW);
    const std::wstring account = ProcessAccount();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    // A protected access list (P): full access for SYSTEM, Administrators and this account.
    const std::wstring text = L"D:P(A;;FA;;;SY)(A;;FA;;;BA)" + (account.empty() ? L"" : L"(A;;FA;;;" + account + L")");
    if (fromText == nullptr || !fromText(text.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
        return {};
    }
    return UniqueLocalMemory(descriptor);
}

}  // namespace portsetup
