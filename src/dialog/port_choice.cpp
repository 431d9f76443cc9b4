#include "dialog/port_choice.hpp"

namespace portsetup {

namespace {

std::wstring_view FirstChecked(const PortButtonStates& checked, bool serialOnly)
{
    for (std::size_t i = 0; i < kPortButtons.size(); ++i) {
        if (serialOnly && !kPortButtons[i].serial) {
            continue;
        }
        if (checked[i]) {
            return kPortButtons[i].portName;
        }
    }
    return {};
}

}  // namespace

std::wstring_view SelectedPort(const PortButtonStates& checked)
{
    return FirstChecked(checked, false);
}

std::wstring_view SelectedComPort(const PortButtonStates& checked)
{
    return FirstChecked(checked, true);
}

}  // namespace portsetup
