#include "settings/setting_lists.hpp"

#include <gtest/gtest.h>

namespace portsetup {

TEST(ComposePortSettingsValue, PutsParityBeforeDataBitsAndKeepsEmptyFields)
{
    // Codes in list order: bits per second, data bits, parity, stop bits, flow control.
    EXPECT_EQ(ComposePortSettingsValue({L"9600", L"8", L"n", L"1", L""}), L"9600,n,8,1");
    EXPECT_EQ(ComposePortSettingsValue({L"115200", L"7", L"e", L"2", L",x"}), L"115200,e,7,2,x");
    EXPECT_EQ(ComposePortSettingsValue({L"19200", L"8", L"n", L"1.5", L",p"}), L"19200,n,8,1.5,p");
    EXPECT_EQ(ComposePortSettingsValue({L"9600", L"8", L"", L"1", L""}), L"9600,,8,1");
}

TEST(IsOfferedPortSettingsValue, TakesTheStoredOrderAndTheListsEntriesOnly)
{
    for (const wchar_t* value : {L"9600,n,8,1", L"115200,e,7,2,x", L"128000,s,4,1.5,p"}) {
        EXPECT_TRUE(IsOfferedPortSettingsValue(value)) << value;
    }
    for (const wchar_t* value : {L"", L"9600,8,n,1", L"4800x", L"9600,n,8", L"9600,n,8,1,", L"9600,n,8,1,q",
                                 L"9600,n,8,1x", L"9601,n,8,1", L"9600,n,8,1,x,p"}) {
        EXPECT_FALSE(IsOfferedPortSettingsValue(value)) << value;
    }
}

}  // namespace portsetup
