#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace portsetup {

// The ports the program sets up, by the names the printer set-up, the
// spooler and the Ports key use ("COM2:").

inline constexpr int kOfferedSerialPortCount = 4;    // COM1 to COM4
inline constexpr int kOfferedParallelPortCount = 2;  // LPT1 and LPT2
inline constexpr int kHighestSerialPortNumber = 256;

// The ports the dialog offers, the serial ones first; the command line takes
// them on any PC.
inline constexpr std::array<std::wstring_view, kOfferedSerialPortCount + kOfferedParallelPortCount> kOfferedPorts{
    L"COM1:", L"COM2:", L"COM3:", L"COM4:", L"LPT1:", L"LPT2:"};

// "com07", "COM7" and "com7:" give "COM7:"; COM1 to COM256, LPT1 and LPT2 are
// ports, anything else gives an empty name.
std::wstring NormalisedPortName(std::wstring_view text);

// Whether the command line takes a port: one the dialog offers, or a serial
// port among those the PC has (portsOfThisPc, names in any spelling; the
// ones that are not serial ports are passed over). Returns why not, naming
// the PC's serial ports, or nothing.
std::wstring PortNotOfThisPc(std::wstring_view port, const std::vector<std::wstring>& portsOfThisPc);

}  // namespace portsetup
