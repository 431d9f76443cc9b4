#include "dialog/port_choice.hpp"

#include <gtest/gtest.h>

namespace portsetup {

TEST(SelectedPort, NamesTheCheckedButtonsPortWithItsColon)
{
    const wchar_t* ports[] = {L"COM1:", L"COM2:", L"COM3:", L"COM4:", L"LPT1:", L"LPT2:"};
    for (std::size_t i = 0; i < kPortButtons.size(); ++i) {
        PortButtonStates checked{};
        checked[i] = true;
        EXPECT_EQ(SelectedPort(checked), ports[i]);
        EXPECT_EQ(SelectedComPort(checked), i < 4 ? ports[i] : L"");
    }
    EXPECT_EQ(SelectedPort(PortButtonStates{}), L"");
}

}  // namespace portsetup
