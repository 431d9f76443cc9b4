#include "unattended/command_line.hpp"

#include <gtest/gtest.h>

namespace portsetup {

TEST(ParseSetupArguments, TakesWhatTheDialogOffersAndRefusesTheRest)
{
    struct Case {
        std::vector<std::wstring> arguments;
        SetupAction action;
        const wchar_t* port;
        const wchar_t* settings;
    };
    const Case accepted[] = {
        {{}, SetupAction::ShowDialog, L"", L""},
        {{L"/install", L"/port", L"com2", L"/settings", L"19200,n,8,1,p", L"/quiet", L"/log", L"C:\\l.txt"},
         SetupAction::Install,
         L"COM2:",
         L"19200,n,8,1,p"},
        {{L"-INSTALL", L"-Port", L"COM4:"}, SetupAction::Install, L"COM4:", L""},  // the port's own settings
        {{L"/install", L"/port", L"lpt2"}, SetupAction::Install, L"LPT2:", L""},
        {{L"/install", L"/port", L"com07", L"/settings", L"1200,o,7,2"}, SetupAction::Install, L"COM7:", L"1200,o,7,2"},
        {{L"/Remove", L"/QUIET"}, SetupAction::Remove, L"", L""},
        {{L"/check", L"/port", L"COM2", L"/settings", L"19200,N,8,1,P"},
         SetupAction::Check,
         L"COM2:",
         L"19200,n,8,1,p"},
        {{L"/?"}, SetupAction::ShowUsage, L"", L""},
    };
    for (const Case& c : accepted) {
        const SetupRequest request = ParseSetupArguments(c.arguments);
        EXPECT_EQ(request.problem, L"") << c.arguments.size();
        EXPECT_EQ(request.action, c.action);
        EXPECT_EQ(request.port, c.port);
        EXPECT_EQ(request.settings, c.settings);
    }
    const std::vector<std::wstring> refused[] = {
        {L"/install", L"/port"},
        {L"/install", L"/port", L"COM257"},
        {L"install"},
        {L"/install", L"/remove"},
        {L"/remove", L"/port", L"COM1"},
        {L"/quiet"},
        {L"/install", L"/port", L"COM1", L"/settings", L"4800x"},
        {L"/install", L"/install", L"/port", L"COM1"},
        {L"/install", L"/port", L"COM2", L"/settings", L"9600,n,8,1", L"-SETTINGS", L"9600,n,8,2"},
        {L"/remove", L"/quiet", L"-Quiet"},
        {L"/install", L"/port", L"COM1", L"/keepprinter"},
        {L"/install", L"/port", L"COM1", L"/keepremembered"},
        {L"/check"},
        {L"/check", L"/keepprinter"},
        {L"/install", L"/port", L"COM1", L"/settings", L"19200, n, 8, 1"},
        {L"/remove", L"/log", L"a.log", L"/log", L"b.log"},
        {L"/install", L"/port", L"COM2", L"/settings", L""},
    };
    for (const auto& arguments : refused) {
        EXPECT_NE(ParseSetupArguments(arguments).problem, L"") << arguments.size();
    }
    // A forgotten value is never taken from the next option, not even for the
    // log of the refusal; values are shown cut short.
    const SetupRequest forgotten = ParseSetupArguments({L"/install", L"/port", L"COM2", L"/log", L"/quiet"});
    EXPECT_EQ(forgotten.problem, L"/log needs a value.");
    EXPECT_EQ(forgotten.logFile, L"");
    EXPECT_TRUE(forgotten.quiet);
    EXPECT_EQ(ParseSetupArguments({L"/remove", L"-LOG", L"a", L"/log", L"b"}).logFile, L"");
    EXPECT_TRUE(ParseSetupArguments({L"/remove", L"/KeepPrinter"}).keepPrinter);
    EXPECT_TRUE(ParseSetupArguments({L"/remove", L"-KEEPREMEMBERED"}).keepRemembered);
    EXPECT_EQ(ParseSetupArguments({L"/install", L"/port", L""}).problem, L"/port needs a value.");
    EXPECT_EQ(ParseSetupArguments({L"/install", L"/port", L"COM1", L"/settings", L"9600,8,n,1"}).problem,
              L"Settings not offered: 9600,8,n,1. The second field, parity, is 8: it takes e, o, n, m or s. The fields "
              L"are bits per second, parity, data bits, stop bits, then x or p for flow control if any, as in "
              L"19200,n,8,1,p (8N1 is n,8,1).");
    EXPECT_EQ(ParseSetupArguments({L"/install", L"/port", L"COM9 "}).problem, L"Unknown port: COM9 ");
    const std::wstring wide =
        std::wstring(79, L'x') + L"\xD83D\xDDA8" + std::wstring(10000, L'y');  // a surrogate pair at 80
    EXPECT_EQ(ParseSetupArguments({L"/install", L"/port", wide}).problem,
              L"Unknown port: " + std::wstring(79, L'x') + L"\u2026");
    EXPECT_EQ(ShownValue(std::wstring(80, L'z')), std::wstring(80, L'z'));
    EXPECT_EQ(ParseSetupArguments({L"/frobnicate", L"/log", L"C:\\a b.log", L""}).arguments,
              L"/frobnicate /log \"C:\\a b.log\" \"\"");
}

}  // namespace portsetup
