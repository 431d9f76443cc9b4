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

// In a key of the test's own: a value is created or replaced with its
// terminating NUL, and a missing key is not created.
TEST(SetRegString, StoresTheTextWithItsNulInAnExistingKeyOnly)
{
    const std::wstring path = L"Software\\PortSetupTest";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, "COM2:", 0, REG_SZ, reinterpret_cast<const BYTE*>("1200,e,7,2"), 11);

    Mod_Register::SetRegString(HKEY_CURRENT_USER, path, L"COM2:", L"9600,n,8,1");
    Mod_Register::SetRegString(HKEY_CURRENT_USER, path, L"FILE:", L"");
    Mod_Register::SetRegString(HKEY_CURRENT_USER, path + L"\\Missing", L"COM4:", L"9600,n,8,1");

    EXPECT_EQ(Stored(key, "COM2:"), "REG_SZ:9600,n,8,1\0"s);
    EXPECT_EQ(Stored(key, "FILE:"), "REG_SZ:\0"s);
    HKEY missing = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(key, L"Missing", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    ::RegCloseKey(key);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
}

}  // namespace
}  // namespace portsetup
