#include "driver/setup_request.hpp"

#include <algorithm>
#include <array>
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

struct SetupOption {
    std::wstring_view name;   // as given after / or -, in capitals
    std::wstring_view shown;  // as messages name it
    bool takesValue;
    SetupAction action;  // ShowDialog: not an action
};

enum OptionIndex { kInstall, kRemove, kShowUsage, kPort, kSettings, kQuiet, kLog };
constexpr std::array<SetupOption, 7> kOptions{{
    {L"INSTALL", L"/install", false, SetupAction::Install},
    {L"REMOVE", L"/remove", false, SetupAction::Remove},
    {L"?", L"/?", false, SetupAction::ShowUsage},
    {L"PORT", L"/port", true, SetupAction::ShowDialog},
    {L"SETTINGS", L"/settings", true, SetupAction::ShowDialog},
    {L"QUIET", L"/quiet", false, SetupAction::ShowDialog},
    {L"LOG", L"/log", true, SetupAction::ShowDialog},
}};

// The option an argument names ("/Port", "-PORT"), or none.
const SetupOption* OptionNamed(std::wstring_view argument)
{
    if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-')) {
        return nullptr;
    }
    const std::wstring name = Upper(argument.substr(1));
    const auto* found =
        std::find_if(kOptions.begin(), kOptions.end(), [&](const SetupOption& o) { return o.name == name; });
    return found == kOptions.end() ? nullptr : found;
}

// What can follow an option that takes a value: not nothing, and not one of
// the options (a forgotten value).
bool IsValue(const std::wstring& argument)
{
    return !argument.empty() && OptionNamed(argument) == nullptr;
}

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

std::wstring ShownValue(std::wstring_view value)
{
    constexpr std::size_t kShownLength = 80;
    if (value.empty()) {
        return L"\"\"";
    }
    if (value.size() <= kShownLength) {
        return std::wstring(value);
    }
    std::size_t length = kShownLength;
    if (value[length - 1] >= 0xD800 && value[length - 1] <= 0xDBFF) {
        --length;  // not half a character
    }
    return std::wstring(value.substr(0, length)) + L"\u2026";
}

std::wstring NormalisedPortName(std::wstring_view text)
{
    std::wstring name = Upper(text);
    const bool serial = name.starts_with(L"COM");
    const int number = serial || name.starts_with(L"LPT") ? PortNumber(name) : 0;
    if (number < 1 || number > (serial ? 256 : 2)) {
        return {};
    }
    return PortName(name.substr(0, 3), number);
}

std::wstring PortNotOfThisPc(std::wstring_view port, const std::vector<std::wstring>& portsValueNames)
{
    constexpr int kSerialPortCount = 256;
    std::array<bool, kSerialPortCount + 1> known{};  // by number
    for (const std::wstring& valueName : portsValueNames) {
        if (const std::wstring name = NormalisedPortName(valueName); name.starts_with(L"COM")) {
            known[static_cast<std::size_t>(PortNumber(name))] = true;
        }
    }
    const bool offered = std::find(kPortNames.begin(), kPortNames.end(), port) != kPortNames.end();
    if (offered || known[static_cast<std::size_t>(PortNumber(port))]) {
        return {};
    }
    std::wstring ports;
    for (int number = 1; number <= kSerialPortCount; ++number) {
        if (known[static_cast<std::size_t>(number)]) {
            ports += (ports.empty() ? L"" : L", ") + PortName(L"COM", number);
        }
    }
    return std::wstring(port) + L" is not a port of this PC. Its serial ports: " + (ports.empty() ? L"none" : ports) +
           L".";
}

std::wstring_view ExitCodeMeaning(unsigned long code)
{
    switch (code) {
    case 0:
        return L"done";
    case 87:
        return L"the command line was refused, nothing was done";
    case 1460:
        return L"the printer set-up did not end within ten minutes and was stopped";
    case 1603:
        return L"the printer set-up did not work, or the settings could not be stored";
    case 1722:
        return L"the Print Spooler service does not answer, nothing was started";
    default:
        return {};
    }
}

SetupRequest ParseSetupArguments(const std::vector<std::wstring>& arguments)
{
    SetupRequest request;
    std::vector<std::wstring_view> given;
    for (const std::wstring& argument : arguments) {
        const bool quoted = argument.empty() || argument.find_first_of(L" \t") != std::wstring::npos;
        request.arguments += (request.arguments.empty() ? L"" : L" ") + (quoted ? L'"' + argument + L'"' : argument);
    }
    // Quiet and a log named once hold for the report of a refused command line too.
    std::size_t logsNamed = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const SetupOption* option = OptionNamed(arguments[i]);
        request.quiet = request.quiet || option == &kOptions[kQuiet];
        if (option == &kOptions[kLog] && ++logsNamed == 1 && i + 1 < arguments.size() && IsValue(arguments[i + 1])) {
            request.logFile = arguments[i + 1];
        }
    }
    if (logsNamed > 1) {
        request.logFile.clear();
    }
    bool settingsGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-')) {
            return Refused(request, L"Unknown argument: " + ShownValue(argument));
        }
        const SetupOption* option = OptionNamed(argument);
        if (option == nullptr) {
            return Refused(request, L"Unknown option: " + ShownValue(argument));
        }
        if (std::find(given.begin(), given.end(), option->name) != given.end()) {
            return Refused(request, std::wstring(option->shown) + L" is given twice.");
        }
        given.push_back(option->name);
        if (option->takesValue && (i + 1 == arguments.size() || !IsValue(arguments[i + 1]))) {
            return Refused(request, std::wstring(option->shown) + L" needs a value.");
        }
        const std::wstring value = option->takesValue ? arguments[++i] : std::wstring();
        const bool isAction = option->action != SetupAction::ShowDialog;
        if (isAction && request.action != SetupAction::ShowDialog) {
            return Refused(request, L"Only one of /install, /remove and /? can be given.");
        }
        if (isAction) {
            request.action = option->action;
        } else if (option == &kOptions[kPort]) {
            request.port = NormalisedPortName(value);
            if (request.port.empty()) {
                return Refused(request, L"Unknown port: " + ShownValue(value));
            }
        } else if (option == &kOptions[kSettings]) {
            if (!IsOfferedPortSettingsValue(value)) {
                return Refused(request, L"Settings not offered: " + ShownValue(value));
            }
            request.settings = value;
            settingsGiven = true;
        }
    }
    const bool serial = request.port.starts_with(L"COM");
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
