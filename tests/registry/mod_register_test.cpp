#include "registry/mod_register.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace portsetup {
namespace {

// A key of the test's own under HKEY_CURRENT_USER, removed afterwards.
class SetRegStringTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = L"Software\\PortSetupTest" + std::to_wstring(::GetCurrentProcessId());
        ASSERT_EQ(
            ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr),
            ERROR_SUCCESS);
    }
    void TearDown() override
    {
        ::RegCloseKey(key_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }

    struct Stored {
        LONG status = 0;
        DWORD type = 0;
        std::vector<unsigned char> bytes;
    };
    Stored Read(const char* name) const
    {
        Stored stored;
        DWORD size = 0;
        stored.status = ::RegQueryValueExA(key_, name, nullptr, &stored.type, nullptr, &size);
        if (stored.status == ERROR_SUCCESS) {
            stored.bytes.resize(size);
            ::RegQueryValueExA(key_, name, nullptr, &stored.type, stored.bytes.data(), &size);
        }
        return stored;
    }

    std::wstring path_;
    HKEY key_ = nullptr;
};

TEST_F(SetRegStringTest, StoresTheTextWithItsTerminatingNul)
{
    Mod_Register::SetRegString(HKEY_CURRENT_USER, path_, L"COM1:", L"9600,n,8,1");
    const Stored stored = Read("COM1:");
    ASSERT_EQ(stored.status, ERROR_SUCCESS);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    const std::vector<unsigned char> expected{'9', '6', '0', '0', ',', 'n', ',', '8', ',', '1', '\0'};
    EXPECT_EQ(stored.bytes, expected);
}

TEST_F(SetRegStringTest, EmptyTextStoresOneNulByte)
{
    Mod_Register::SetRegString(HKEY_CURRENT_USER, path_, L"LPT1:", L"");
    const Stored stored = Read("LPT1:");
    ASSERT_EQ(stored.status, ERROR_SUCCESS);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.bytes, std::vector<unsigned char>{'\0'});
}

TEST_F(SetRegStringTest, AMissingKeyIsNotCreatedAndNothingIsWritten)
{
    const std::wstring missing = path_ + L"\\Missing";
    Mod_Register::SetRegString(HKEY_CURRENT_USER, missing, L"COM1:", L"9600,n,8,1");
    HKEY probe = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, missing.c_str(), 0, KEY_READ, &probe), ERROR_FILE_NOT_FOUND);
    DWORD values = 1;
    DWORD subkeys = 1;
    ::RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                       nullptr);
    EXPECT_EQ(values, 0U);
    EXPECT_EQ(subkeys, 0U);
}

TEST_F(SetRegStringTest, ReplacesTheValueAndLeavesItsNeighbours)
{
    ::RegSetValueExA(key_, "COM1:", 0, REG_SZ, reinterpret_cast<const BYTE*>("9600,n,8,1"), 11);
    ::RegSetValueExA(key_, "COM2:", 0, REG_SZ, reinterpret_cast<const BYTE*>("1200,e,7,2"), 11);
    ::RegSetValueExA(key_, "FILE:", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);

    Mod_Register::SetRegString(HKEY_CURRENT_USER, path_, L"COM2:", L"115200,e,7,2,x");

    const std::string replaced = "115200,e,7,2,x";
    EXPECT_EQ(Read("COM2:").bytes,
              std::vector<unsigned char>(replaced.c_str(), replaced.c_str() + replaced.size() + 1));
    const std::string neighbour = "9600,n,8,1";
    EXPECT_EQ(Read("COM1:").bytes,
              std::vector<unsigned char>(neighbour.c_str(), neighbour.c_str() + neighbour.size() + 1));
    EXPECT_EQ(Read("FILE:").bytes, std::vector<unsigned char>{'\0'});
}

}  // namespace
}  // namespace portsetup
