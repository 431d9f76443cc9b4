#include "settings/setting_lists.hpp"

#include <gtest/gtest.h>

namespace portsetup {
namespace {

TEST(SettingItem, IsDisplayHundredSpacesAndCode)
{
    const std::wstring item = MakeSettingItem({L"Even", L"e"});
    EXPECT_EQ(item.size(), 4U + 100U + 1U);
    EXPECT_EQ(item.substr(0, 4), L"Even");
    EXPECT_EQ(item.substr(4, 100), std::wstring(100, L' '));
    EXPECT_EQ(item.back(), L'e');
}

TEST(ExtractCode, ReturnsTheCodeOfEveryEntryOfEveryList)
{
    for (const SettingList& list : kSettingLists) {
        for (const SettingEntry& entry : list.entries) {
            const std::wstring item = MakeSettingItem(entry);
            EXPECT_EQ(item.size(), entry.display.size() + 100 + entry.code.size());
            EXPECT_EQ(ExtractCode(item), entry.code);
            EXPECT_EQ(DisplayTextOf(item), entry.display);
        }
    }
}

TEST(ExtractCode, HandlesTheWorkedCases)
{
    EXPECT_EQ(ExtractCode(MakeSettingItem({L"None", L"n"})), L"n");
    EXPECT_EQ(ExtractCode(MakeSettingItem({L"None", L""})), L"");
    EXPECT_EQ(ExtractCode(MakeSettingItem({L"115200", L"115200"})), L"115200");
    EXPECT_EQ(ExtractCode(L""), L"");      // a list with no selection
    EXPECT_EQ(ExtractCode(L" 8 "), L"8");  // shorter than ten characters
}

TEST(SettingLists, DefaultsAreTheUsualSerialSettings)
{
    const wchar_t* displays[] = {L"9600", L"8", L"None", L"1", L"None"};
    const wchar_t* codes[] = {L"9600", L"8", L"n", L"1", L""};
    for (std::size_t i = 0; i < kSettingLists.size(); ++i) {
        const SettingList& list = kSettingLists[i];
        ASSERT_LT(static_cast<std::size_t>(list.defaultIndex), list.entries.size());
        EXPECT_EQ(list.entries[static_cast<std::size_t>(list.defaultIndex)].display, displays[i]);
        EXPECT_EQ(list.entries[static_cast<std::size_t>(list.defaultIndex)].code, codes[i]);
    }
}

TEST(SettingLists, CodesFitTheLastTenCharacters)
{
    for (const SettingList& list : kSettingLists) {
        for (const SettingEntry& entry : list.entries) {
            EXPECT_LE(entry.code.size(), 6U);
            EXPECT_EQ(entry.code.find(L' '), std::wstring_view::npos);
            EXPECT_EQ(entry.display.find(L' '), std::wstring_view::npos);
        }
    }
}

TEST(ComposePortSettingsValue, PutsParityBeforeDataBits)
{
    EXPECT_EQ(ComposePortSettingsValue({L"9600", L"8", L"n", L"1", L""}), L"9600,n,8,1");
    EXPECT_EQ(ComposePortSettingsValue({L"115200", L"7", L"e", L"2", L",x"}), L"115200,e,7,2,x");
    EXPECT_EQ(ComposePortSettingsValue({L"19200", L"8", L"n", L"1", L",p"}), L"19200,n,8,1,p");
    EXPECT_EQ(ComposePortSettingsValue({L"9600", L"8", L"n", L"1.5", L""}), L"9600,n,8,1.5");
}

TEST(ComposePortSettingsValue, KeepsTheCommaOfAnEmptyField)
{
    EXPECT_EQ(ComposePortSettingsValue({L"9600", L"8", L"", L"1", L""}), L"9600,,8,1");
    EXPECT_EQ(ComposePortSettingsValue({}), L",,,");
}

}  // namespace
}  // namespace portsetup
