#include "unattended/command_line.hpp"

#include <algorithm>
#include <array>
#include <cwctype>

#include "driver/port_names.hpp"
#include "platform/log_text.hpp"
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

enum OptionIndex { kInstall, kRemove, kShowUsage, kPort, kSettings, kQuiet, kLog, kKeepPrinter, kKeepRemembered };
constexpr std::array<SetupOption, 9> kOptions{{
    {L"INSTALL", L"/install", false, SetupAction::Install},
    {L"REMOVE", L"/remove", false, SetupAction::Remove},
    {L"?", L"/?", false, SetupAction::ShowUsage},
    {L"PORT", L"/port", true, SetupAction::ShowDialog},
    {L"SETTINGS", L"/settings", true, SetupAction::ShowDialog},
    {L"QUIET", L"/quiet", false, SetupAction::ShowDialog},
    {L"LOG", L"/log", true, SetupAction::ShowDialog},
    {L"KEEPPRINTER", L"/keepprinter", false, SetupAction::ShowDialog},
    {L"KEEPREMEMBERED", L"/keepremembered", false, SetupAction::ShowDialog},
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

}  // namespace

std::wstring ShownValue(std::wstring_view value)
{
    constexpr std::size_t kShownLength = 80;
    if (value.empty()) {
        return L"\"\"";
    }
    if (value.size() <= kShownLength) {
        return EscapedForLog(value);
    }
    std::size_t length = kShownLength;
    if (value[length - 1] >= 0xD800 && value[length - 1] <= 0xDBFF) {
        --length;  // not half a character
    }
    return EscapedForLog(value.substr(0, length)) + L"\u2026";
}

SetupRequest ParseSetupArguments(const std::vector<std::wstring>& arguments)
{
    SetupRequest request;
    std::vector<std::wstring_view> given;
    for (const std::wstring& argument : arguments) {
        request.arguments += (request.arguments.empty() ? L"" : L" ") + QuotedArgument(argument);
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
        } else if (option == &kOptions[kKeepPrinter]) {
            request.keepPrinter = true;
        } else if (option == &kOptions[kKeepRemembered]) {
            request.keepRemembered = true;
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
    if ((request.keepPrinter || request.keepRemembered) && request.action != SetupAction::Remove) {
        return Refused(request, L"/keepprinter and /keepremembered go with /remove only.");
    }
    if (settingsGiven && !serial) {
        return Refused(request, L"/settings is for a COM port only.");
    }
    return request;
}

}  // namespace portsetup
