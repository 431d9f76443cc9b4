#include "dialog/port_choice.hpp"

#include <gtest/gtest.h>

namespace portsetup {
namespace {

PortButtonStates Only(std::size_t index)
{
    PortButtonStates states{};
    states[index] = true;
    return states;
}

TEST(SelectedPort, NamesEachButtonsPortWithItsColon)
{
    const wchar_t* expected[] = {L"COM1:", L"COM2:", L"COM3:", L"COM4:", L"LPT1:", L"LPT2:"};
    for (std::size_t i = 0; i < kPortButtons.size(); ++i) {
        EXPECT_EQ(SelectedPort(Only(i)), expected[i]);
    }
}

TEST(SelectedPort, IsEmptyWhenNothingIsChecked)
{
    EXPECT_TRUE(SelectedPort(PortButtonStates{}).empty());
    EXPECT_TRUE(SelectedComPort(PortButtonStates{}).empty());
}

TEST(SelectedPort, TakesTheFirstCheckedButtonInTableOrder)
{
    PortButtonStates states{};
    states[2] = true;
    states[5] = true;
    EXPECT_EQ(SelectedPort(states), L"COM3:");
}

TEST(SelectedComPort, IgnoresTheParallelButtons)
{
    EXPECT_TRUE(SelectedComPort(Only(4)).empty());
    EXPECT_TRUE(SelectedComPort(Only(5)).empty());
    EXPECT_EQ(SelectedComPort(Only(3)), L"COM4:");
}

TEST(PortButtons, SerialButtonsAreTheFourOption1Members)
{
    for (std::size_t i = 0; i < kPortButtons.size(); ++i) {
        const ControlSpec* control = FindControl(kPortButtons[i].controlId);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->name, kPortButtons[i].serial ? "Option1" : "Option2");
        // The caption is the port name without its colon.
        EXPECT_EQ(std::wstring(control->caption) + L":", kPortButtons[i].portName);
    }
}

}  // namespace
}  // namespace portsetup
