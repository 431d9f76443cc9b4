#include "driver/port_names.hpp"

#include "platform/portable/log_text.hpp"

#include <algorithm>
#include <cwctype>

namespace portsetup {

namespace {

// The number a port's name ends in: 7 for "COM07" and "COM7:"; 0 for no
// digits or anything else after them.
int PortNumber(std::wstring_view name)
{
    if (name.ends_with(L':')) {
        name.remove_suffix(1);
    }
    int number = 0;
    for (const wchar_t digit : name.substr(3)) {
        if (digit < L'0' || digit > L'9') {
            return 0;
        }
        number = std::min(number * 10 + (digit - L'0'), 1000);  // capped: past 256 it is refused anyway
    }
    return number;
}

// "COM7:" from "COM" and 7.
std::wstring PortName(std::wstring_view kind, int number)
{
    std::wstring name(kind);
    for (int unit = number >= 100 ? 100 : number >= 10 ? 10 : 1; unit > 0; unit /= 10) {
        name += static_cast<wchar_t>(L'0' + number / unit % 10);
    }
    return name + L':';
}

}  // namespace

std::wstring NormalisedPortName(std::wstring_view text)
{
    std::wstring name(text);
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towupper(c); });
    const bool serial = name.starts_with(L"COM");
    const int number = serial || name.starts_with(L"LPT") ? PortNumber(name) : 0;
    if (number < 1 || number > (serial ? kHighestSerialPortNumber : kOfferedParallelPortCount)) {
        return {};
    }
    return PortName(name.substr(0, 3), number);
}

std::wstring PortNotOfThisPc(std::wstring_view port, const std::vector<std::wstring>& portsOfThisPc)
{
    std::array<bool, kHighestSerialPortNumber + 1> known{};  // by number
    for (const std::wstring& given : portsOfThisPc) {
        if (const std::wstring name = NormalisedPortName(given); name.starts_with(L"COM")) {
            known[static_cast<std::size_t>(PortNumber(name))] = true;
        }
    }
    const bool offered = std::find(kOfferedPorts.begin(), kOfferedPorts.end(), port) != kOfferedPorts.end();
    if (offered || known[static_cast<std::size_t>(PortNumber(port))]) {
        return {};
    }
    std::wstring ports;
    for (int number = 1; number <= kHighestSerialPortNumber; ++number) {
        if (known[static_cast<std::size_t>(number)]) {
            ports += (ports.empty() ? L"" : L", ") + PortName(L"COM", number);
        }
    }
    return std::wstring(port) + " is not a port of this PC. Its serial ports: "_w + (ports.empty() ? L"none" : ports) +
           L".";
}

}  // namespace portsetup
