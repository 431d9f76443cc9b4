#include "platform/launch.hpp"

#include <gtest/gtest.h>

#include "driver/command_lines.hpp"
#include "platform/error_text.hpp"
#include "platform/system_paths.hpp"
#include "support/wine_test_support.hpp"

namespace portsetup {
namespace {

using testing::LaunchLog;

bool SameFile(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

TEST(SystemRundll32Path, IsInTheSystemFolder)
{
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_TRUE(SameFile(SystemRundll32Path(), std::wstring(system) + L"\\rundll32.exe"));
}

TEST(Launch, StartsTheSystemRundll32WithTheLineUnchangedAndMinimised)
{
    const LaunchLog log;
    const std::wstring line = InstallCommandLine(L"C:\\Program Files\\Q7 Setup", L"COM2:");
    ASSERT_EQ(Launch(SystemRundll32Path(), line, SW_SHOWMINIMIZED), static_cast<DWORD>(ERROR_SUCCESS));
    const auto records = log.WaitFor(1);
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].commandLine, line);
    EXPECT_EQ(records[0].show, SW_SHOWMINIMIZED);
    EXPECT_TRUE(SameFile(records[0].image, SystemFolder() + L"\\rundll32.exe"));
}

TEST(Launch, CarriesKoreanAndLongFoldersIntact)
{
    const LaunchLog log;
    std::wstring deep = L"C:\\\uD504\uB9B0\uD130 \uC124\uCE58";
    while (deep.size() < 600) {
        deep += L"\\\uD3F4\uB354 folder";
    }
    const std::wstring line = InstallCommandLine(deep, L"COM4:");
    ASSERT_EQ(Launch(SystemRundll32Path(), line, SW_SHOWMINIMIZED), static_cast<DWORD>(ERROR_SUCCESS));
    const auto records = log.WaitFor(1);
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].commandLine, line);
}

TEST(Launch, NeverStartsARundll32BesideTheProgram)
{
    // A rundll32.exe planted in the program's folder and the current folder.
    const std::wstring planted = ApplicationFolder() + L"\\rundll32.exe";
    ASSERT_TRUE(::CopyFileW(SystemRundll32Path().c_str(), planted.c_str(), FALSE));
    ::SetCurrentDirectoryW(ApplicationFolder().c_str());

    const LaunchLog log;
    const DWORD result = Launch(SystemRundll32Path(), RemovalCommandLine(), SW_SHOWMINIMIZED);
    const auto records = log.WaitFor(1);
    ::DeleteFileW(planted.c_str());
    ASSERT_EQ(result, static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(records.size(), 1U);
    EXPECT_TRUE(SameFile(records[0].image, SystemFolder() + L"\\rundll32.exe"));
    EXPECT_FALSE(SameFile(records[0].image, planted));
}

TEST(Launch, ReportsTheErrorWhenTheProgramIsMissing)
{
    const LaunchLog log;
    const DWORD error = Launch(L"C:\\nowhere\\rundll32.exe", RemovalCommandLine(), SW_SHOWMINIMIZED);
    EXPECT_TRUE(error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) << error;
    EXPECT_EQ(Launch(L"", RemovalCommandLine(), SW_SHOWMINIMIZED), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ::Sleep(300);
    EXPECT_TRUE(log.Records().empty());
}

TEST(SystemErrorText, GivesTheSystemsTextWithoutTheLineBreak)
{
    const std::wstring text = SystemErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
    std::wstring lower = text;
    ::CharLowerW(lower.data());
    EXPECT_NE(lower.find(L"file"), std::wstring::npos) << testing::Narrow(text);
    EXPECT_EQ(SystemErrorText(0x2345678), L"Error 36984440");
}

TEST(ModulePath, NamesThisProgramAndItsFolder)
{
    const std::wstring path = ModulePath(nullptr);
    ASSERT_GT(path.size(), 4U);
    EXPECT_TRUE(SameFile(path.substr(path.size() - 4), L".exe"));
    EXPECT_EQ(ApplicationFolder(), FolderOf(path));
    EXPECT_NE(ApplicationFolder().back(), L'\\');
}

}  // namespace
}  // namespace portsetup
