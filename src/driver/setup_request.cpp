#include "driver/setup_request.hpp"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "settings/setting_lists.hpp"

namespace portsetup {

namespace {

std::wstring Upper(std::wstring_view text)
{
    std::wstring upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t c) { return std::towupper(c); });
    return upper;
}

SetupRequest Refused(SetupRequest request, std::wstring problem)
{
    request.problem = std::move(problem);
    return request;
}

// The number of a normalised serial port name: 7 for "COM7:".
long SerialPortNumber(const std::wstring& port)
{
    return std::wcstol(port.c_str() + 3, nullptr, 10);
}

}  // namespace

std::wstring NormalisedPortName(std::wstring_view text)
{
    std::wstring name = Upper(text);
    if (!name.empty() && name.back() == L':') {
        name.pop_back();
    }
    const bool serial = name.starts_with(L"COM");
    if ((!serial && !name.starts_with(L"LPT")) || name.size() == 3) {
        return {};
    }
    int number = 0;
    for (const wchar_t digit : std::wstring_view(name).substr(3)) {
        if (digit < L'0' || digit > L'9') {
            return {};
        }
        number = std::min(number * 10 + (digit - L'0'), 1000);  // capped: past 256 it is refused anyway
    }
    if (number < 1 || number > (serial ? 256 : 2)) {
        return {};
    }
    return name.substr(0, 3) + std::to_wstring(number) + L':';
}

std::wstring PortNotOfThisPc(std::wstring_view port, const std::vector<std::wstring>& portsValueNames)
{
    std::vector<std::wstring> serialPorts;
    for (const std::wstring& valueName : portsValueNames) {
        std::wstring name = NormalisedPortName(valueName);
        if (name.starts_with(L"COM") && std::find(serialPorts.begin(), serialPorts.end(), name) == serialPorts.end()) {
            serialPorts.push_back(std::move(name));
        }
    }
    const bool offered = std::find(kPortNames.begin(), kPortNames.end(), port) != kPortNames.end();
    if (offered || std::find(serialPorts.begin(), serialPorts.end(), port) != serialPorts.end()) {
        return {};
    }
    std::sort(serialPorts.begin(), serialPorts.end(), [](const std::wstring& left, const std::wstring& right) {
        return SerialPortNumber(left) < SerialPortNumber(right);
    });
    std::wstring problem = std::wstring(port) + L" is not a port of this PC. Its serial ports: ";
    for (std::size_t i = 0; i < serialPorts.size(); ++i) {
        problem += (i == 0 ? L"" : L", ") + serialPorts[i];
    }
    return problem + (serialPorts.empty() ? L"none." : L".");
}

SetupRequest ParseSetupArguments(const std::vector<std::wstring>& arguments)
{
    SetupRequest request;
    // Quiet and the log hold for the report of a refused command line too.
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring option = Upper(arguments[i]);
        request.quiet = request.quiet || option == L"/QUIET" || option == L"-QUIET";
        if ((option == L"/LOG" || option == L"-LOG") && i + 1 < arguments.size()) {
            request.logFile = arguments[i + 1];
        }
    }
    bool settingsGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-')) {
            return Refused(request, L"Unknown argument: " + argument);
        }
        const std::wstring option = Upper(std::wstring_view(argument).substr(1));
        const bool takesValue = option == L"PORT" || option == L"SETTINGS" || option == L"LOG";
        if (takesValue && i + 1 == arguments.size()) {
            return Refused(request, argument + L" needs a value.");
        }
        const std::wstring value = takesValue ? arguments[++i] : std::wstring();
        const bool isAction = option == L"INSTALL" || option == L"REMOVE" || option == L"?";
        if (isAction && request.action != SetupAction::ShowDialog) {
            return Refused(request, L"Only one of /install, /remove and /? can be given.");
        }
        if (option == L"INSTALL") {
            request.action = SetupAction::Install;
        } else if (option == L"REMOVE") {
            request.action = SetupAction::Remove;
        } else if (option == L"?") {
            request.action = SetupAction::ShowUsage;
        } else if (option == L"PORT") {
            request.port = NormalisedPortName(value);
            if (request.port.empty()) {
                return Refused(request, L"Unknown port: " + value);
            }
        } else if (option == L"SETTINGS") {
            if (!IsOfferedPortSettingsValue(value)) {
                return Refused(request, L"Settings not offered: " + value);
            }
            request.settings = value;
            settingsGiven = true;
        } else if (option != L"QUIET" && option != L"LOG") {
            return Refused(request, L"Unknown option: " + argument);
        }
    }
    const bool serial = request.port.rfind(L"COM", 0) == 0;
    if (request.action == SetupAction::ShowDialog && !arguments.empty()) {
        return Refused(request, L"Give /install, /remove or /?.");
    }
    if (request.action == SetupAction::Install && request.port.empty()) {
        return Refused(request, L"/install needs /port.");
    }
    if (request.action != SetupAction::Install && (!request.port.empty() || settingsGiven)) {
        return Refused(request, L"/port and /settings go with /install only.");
    }
    if (settingsGiven && !serial) {
        return Refused(request, L"/settings is for a COM port only.");
    }
    if (request.action == SetupAction::Install && serial && !settingsGiven) {
        request.settings = DefaultPortSettingsValue();
    }
    return request;
}

}  // namespace portsetup
