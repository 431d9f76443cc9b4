#include "platform/log_file.hpp"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

namespace portsetup {

// A new log, in a folder where everyone may read (Wine gives Everyone read
// access to a file made without an access list), grants nothing to Users
// (S-1-5-32-545), Authenticated Users (S-1-5-11) or Everyone (S-1-1-0). (Wine
// keeps of an access list only what Unix permissions can say: not that it is
// protected, nor Administrators.)
TEST(LogFile, ANewLogGrantsNothingToUsers)
{
    wchar_t folder[MAX_PATH] = {};
    ASSERT_NE(::GetTempPathW(MAX_PATH, folder), 0U);
    const std::wstring path = std::wstring(folder) + L"portsetup-access.log";
    ::DeleteFileW(path.c_str());
    LogFile(path).Append(L"a line");
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                      &access, nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_TRUE(access != nullptr && access->AceCount > 0);
    for (DWORD i = 0; i < access->AceCount; ++i) {
        void* entry = nullptr;
        wchar_t* sid = nullptr;
        ASSERT_TRUE(::GetAce(access, i, &entry) &&
                    ::ConvertSidToStringSidW(&static_cast<ACCESS_ALLOWED_ACE*>(entry)->SidStart, &sid));
        const std::wstring account = sid;
        ::LocalFree(sid);
        EXPECT_TRUE(account != L"S-1-5-32-545" && account != L"S-1-5-11" && account != L"S-1-1-0") << account;
    }
    ::LocalFree(descriptor);
    ::DeleteFileW(path.c_str());
}

}  // namespace portsetup
