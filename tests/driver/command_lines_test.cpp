#include "driver/command_lines.hpp"

#include <gtest/gtest.h>

namespace portsetup {
namespace {

TEST(InstallCommandLine, QuotesEveryArgumentForAPlainFolder)
{
    EXPECT_EQ(InstallCommandLine(L"C:\\Setup", L"COM1:"),
              L"rundll32 printui.dll,PrintUIEntry /if /b \"Q7 MiniPrinter(Cut Mode)\" /f "
              L"\"C:\\Setup\\ZUTW2KXPDrvs.INF\" /r \"COM1:\" /m \"Q7 MiniPrinter(Cut Mode)\"");
}

TEST(InstallCommandLine, KeepsAFolderWithSpacesWholeInsideItsQuotes)
{
    const std::wstring line = InstallCommandLine(L"C:\\Program Files\\Q7 Setup", L"LPT2:");
    EXPECT_NE(line.find(L" /f \"C:\\Program Files\\Q7 Setup\\ZUTW2KXPDrvs.INF\" /r \"LPT2:\" "), std::wstring::npos)
        << std::string(line.begin(), line.end());
}

TEST(InstallCommandLine, AtADriveRootTheFilePathHoldsTheDoubledBackslash)
{
    EXPECT_NE(InstallCommandLine(L"D:\\", L"COM2:").find(L"/f \"D:\\\\ZUTW2KXPDrvs.INF\" /r"), std::wstring::npos);
}

TEST(InstallCommandLine, PassesNonAsciiAndLongFoldersUnchanged)
{
    const std::wstring korean = L"C:\\\uD504\uB9B0\uD130 \uC124\uCE58";
    EXPECT_NE(InstallCommandLine(korean, L"COM1:").find(L"\"" + korean + L"\\ZUTW2KXPDrvs.INF\""), std::wstring::npos);

    std::wstring deep = L"C:";
    while (deep.size() < 400) {
        deep += L"\\a folder name";
    }
    const std::wstring line = InstallCommandLine(deep, L"COM4:");
    EXPECT_NE(line.find(L"\"" + deep + L"\\ZUTW2KXPDrvs.INF\""), std::wstring::npos);
    EXPECT_GT(line.size(), 400U);
}

TEST(InstallCommandLine, NamesPrinterAndModelIdenticallyAndEndsWithAQuote)
{
    const std::wstring line = InstallCommandLine(L"C:\\Setup", L"COM3:");
    const std::wstring printer = L"/b \"" + std::wstring(kDriverModelName) + L"\"";
    const std::wstring model = L"/m \"" + std::wstring(kDriverModelName) + L"\"";
    EXPECT_NE(line.find(printer), std::wstring::npos);
    ASSERT_GE(line.size(), model.size());
    EXPECT_EQ(line.substr(line.size() - model.size()), model);
}

TEST(RemovalCommandLine, IsFixed)
{
    EXPECT_EQ(RemovalCommandLine(), L"rundll32 printui.dll,PrintUIEntry /dd /m \"Q7 MiniPrinter(Cut Mode)\"");
}

TEST(FolderOf, DropsTheFileNameAndTheSeparator)
{
    EXPECT_EQ(FolderOf(L"C:\\Setup\\PortSetup.exe"), L"C:\\Setup");
    EXPECT_EQ(FolderOf(L"C:\\Program Files\\Q7 Setup\\PortSetup.exe"), L"C:\\Program Files\\Q7 Setup");
    EXPECT_EQ(FolderOf(L"\\\\server\\share\\PortSetup.exe"), L"\\\\server\\share");
}

TEST(FolderOf, KeepsTheBackslashOfADriveRoot)
{
    EXPECT_EQ(FolderOf(L"C:\\PortSetup.exe"), L"C:\\");
    EXPECT_EQ(FolderOf(L"PortSetup.exe"), L"");
}

}  // namespace
}  // namespace portsetup
