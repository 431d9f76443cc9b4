#include "settings/setting_lists.hpp"

#include <gtest/gtest.h>

#include <tuple>

namespace portsetup {

TEST(ComposePortSettingsValue, PutsParityBeforeDataBitsAndKeepsEmptyFields)
{
    // Codes in list order: bits per second, data bits, parity, stop bits, flow control.
    EXPECT_EQ(ComposePortSettingsValue({L"9600", L"8", L"n", L"1", L""}), L"9600,n,8,1");
    EXPECT_EQ(ComposePortSettingsValue({L"115200", L"7", L"e", L"2", L",x"}), L"115200,e,7,2,x");
    EXPECT_EQ(ComposePortSettingsValue({L"19200", L"8", L"n", L"1.5", L",p"}), L"19200,n,8,1.5,p");
    EXPECT_EQ(ComposePortSettingsValue({L"9600", L"8", L"", L"1", L""}), L"9600,,8,1");
}

// In the stored order, letters in either case (stored in lower case); a
// refusal names the first field that is not one of its list's codes.
TEST(CheckPortSettingsValue, TakesTheStoredOrderAndNamesTheWrongField)
{
    for (const auto& [given, stored] : {std::pair{L"9600,n,8,1", L"9600,n,8,1"},
                                        {L"115200,E,7,2,X", L"115200,e,7,2,x"},
                                        {L"128000,s,4,1.5,p", L"128000,s,4,1.5,p"}}) {
        EXPECT_EQ(CheckPortSettingsValue(given).value, stored) << given;
    }
    const std::tuple<const wchar_t*, std::size_t, const wchar_t*> refused[] = {
        {L"", 0, L""},
        {L"9600,8,n,1", 1, L"8"},
        {L"300,n,8,1", 0, L"300"},
        {L"9600,n,8", 3, L""},
        {L"9600,n,8,1,", 4, L""},
        {L"9600,n,8,1,q", 4, L"q"},
        {L"9600,n,8,1x", 3, L"1x"},
        {L"9600,n,8,1,x,p", 5, L""},
        {L"9601,N,8,1", 0, L"9601"},
    };
    for (const auto& [given, field, text] : refused) {
        const PortSettingsCheck check = CheckPortSettingsValue(given);
        EXPECT_EQ(check.value, L"") << given;
        EXPECT_EQ(check.wrongField, field) << given;
        EXPECT_EQ(check.wrongText, text) << given;
    }
    EXPECT_EQ(FieldCodes(1), L"e, o, n, m or s");
    EXPECT_EQ(FieldCodes(4), L"x or p");
}

}  // namespace portsetup
