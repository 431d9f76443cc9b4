#pragma once

#include <array>
#include <string_view>

#include "dialog/form_layout.hpp"
#include "driver/port_names.hpp"

namespace portsetup {

struct PortButton {
    int controlId;
    std::wstring_view portName;  // the name used on the command line and in the registry
    bool serial;
};

// In the order the selection is looked up.
inline constexpr std::array<PortButton, kOfferedPorts.size()> kPortButtons{{
    {Option1Id(0), kOfferedPorts[0], true},
    {Option1Id(1), kOfferedPorts[1], true},
    {Option1Id(2), kOfferedPorts[2], true},
    {Option1Id(3), kOfferedPorts[3], true},
    {Option2Id(0), kOfferedPorts[4], false},
    {Option2Id(1), kOfferedPorts[5], false},
}};

// Checked state of the buttons, in the order of kPortButtons.
using PortButtonStates = std::array<bool, kPortButtons.size()>;

// The port of the first checked button, or empty text when none is checked.
std::wstring_view SelectedPort(const PortButtonStates& checked);

// The same over the serial buttons only.
std::wstring_view SelectedComPort(const PortButtonStates& checked);

}  // namespace portsetup
