#include "driver/port_names.hpp"

#include <gtest/gtest.h>

namespace portsetup {

TEST(NormalisedPortName, GivesTheKeysNameForPortsOnlyAndNothingForTheRest)
{
    const std::pair<const wchar_t*, const wchar_t*> ports[] = {
        {L"com07", L"COM7:"},    {L"COM7", L"COM7:"},       {L"com7:", L"COM7:"}, {L"Com1", L"COM1:"},
        {L"COM256", L"COM256:"}, {L"COM0256:", L"COM256:"}, {L"lpt2:", L"LPT2:"},
    };
    for (const auto& [given, normalised] : ports) {
        EXPECT_EQ(NormalisedPortName(given), normalised) << given;
    }
    for (const wchar_t* refused :
         {L"",      L"COM",   L"COM:",  L"COM0",   L"COM00",       L"COM257",    L"COM99999999999", L"COM1.5",
          L"COM 7", L" COM7", L"COM7 ", L"COM7::", L"COM-1",       L"COM+7",     L"COM7x",          L"COMA",
          L"CON",   L"LPT0",  L"LPT3",  L"FILE:",  L"\\\\.\\COM7", L"COM\uff17", L"COM1\u00b2"}) {
        EXPECT_EQ(NormalisedPortName(refused), L"") << refused;
    }
}

TEST(PortNotOfThisPc, TakesTheDialogsPortsAndThePcsSerialPortsOnly)
{
    const std::vector<std::wstring> names{L"COM12:", L"FILE:", L"com7:", L"COM1:", L"LPT3:", L"Ne00:", L"COM7:"};
    for (const wchar_t* port : {L"COM1:", L"COM4:", L"LPT2:", L"COM7:", L"COM12:"}) {
        EXPECT_EQ(PortNotOfThisPc(port, names), L"") << port;
    }
    EXPECT_EQ(PortNotOfThisPc(L"COM9:", names),
              L"COM9: is not a port of this PC. Its serial ports: COM1:, COM7:, COM12:.");
    EXPECT_EQ(PortNotOfThisPc(L"COM5:", {}), L"COM5: is not a port of this PC. Its serial ports: none.");
}

}  // namespace portsetup
