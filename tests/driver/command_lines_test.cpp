#include "driver/command_lines.hpp"

#include <gtest/gtest.h>

#include "platform/portable/folders.hpp"

namespace portsetup {

TEST(InstallCommandLine, QuotesEveryArgumentAndKeepsTheFolderAsComposed)
{
    struct Case {
        const wchar_t* programPath;
        const wchar_t* port;
        const wchar_t* line;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Q7 Setup\\PortSetup.exe", L"COM1:",
         LR"x(rundll32 printui.dll,PrintUIEntry /if /b "Q7 MiniPrinter(Cut Mode)" /f "C:\Program Files\Q7 Setup\ZUTW2KXPDrvs.INF" /r "COM1:" /m "Q7 MiniPrinter(Cut Mode)")x"},
        {L"D:\\PortSetup.exe", L"LPT2:",
         LR"x(rundll32 printui.dll,PrintUIEntry /if /b "Q7 MiniPrinter(Cut Mode)" /f "D:\\ZUTW2KXPDrvs.INF" /r "LPT2:" /m "Q7 MiniPrinter(Cut Mode)")x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InstallCommandLine(FolderOf(c.programPath), c.port), c.line);
    }
}

}  // namespace portsetup
