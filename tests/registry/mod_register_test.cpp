#include "registry/mod_register.hpp"

#include <gtest/gtest.h>

#include <string>

namespace portsetup {
namespace {

using namespace std::string_literals;

// The type and the bytes of a value, as the registry holds them.
std::string Stored(HKEY key, const char* name)
{
    DWORD type = 0;
    char bytes[64];
    DWORD size = sizeof bytes;
    const LONG status = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes), &size);
    return status != ERROR_SUCCESS ? "(none)" : (type == REG_SZ ? "REG_SZ:" : "other type:") + std::string(bytes, size);
}

// In a key of the test's own, in the 64-bit view where the spooler reads: a
// value is created or replaced with its terminating NUL, also by a 32-bit
// program, and a missing key is not created.
TEST(SetRegString, StoresTheTextWithItsNulInAnExistingKeyOnly)
{
    const std::wstring path = L"Software\\PortSetupTest";
    HKEY software = nullptr;
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &software),
              ERROR_SUCCESS);
    ::RegDeleteTreeW(software, L"PortSetupTest");
    ASSERT_EQ(::RegCreateKeyExW(software, L"PortSetupTest", 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, "COM2:", 0, REG_SZ, reinterpret_cast<const BYTE*>("1200,e,7,2"), 11);

    Mod_Register::SetRegString(HKEY_LOCAL_MACHINE, path, L"COM2:", L"9600,n,8,1");
    Mod_Register::SetRegString(HKEY_LOCAL_MACHINE, path, L"FILE:", L"");
    Mod_Register::SetRegString(HKEY_LOCAL_MACHINE, path + L"\\Missing", L"COM4:", L"9600,n,8,1");

    EXPECT_EQ(Stored(key, "COM2:"), "REG_SZ:9600,n,8,1\0"s);
    EXPECT_EQ(Stored(key, "FILE:"), "REG_SZ:\0"s);
    HKEY missing = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(key, L"Missing", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);

    ::RegCloseKey(key);
    ::RegDeleteTreeW(software, L"PortSetupTest");
    ::RegCloseKey(software);
}

}  // namespace
}  // namespace portsetup
