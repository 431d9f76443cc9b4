#include "unattended/command_line.hpp"

#include <algorithm>
#include <array>
#include <cwctype>

#include "driver/port_names.hpp"
#include "platform/portable/log_text.hpp"
#include "settings/setting_lists.hpp"
#include "unattended/exit_codes.hpp"

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

enum OptionIndex {
    kInstall,
    kRemove,
    kCheck,
    kShowUsage,
    kPort,
    kSettings,
    kQuiet,
    kLog,
    kKeepPrinter,
    kKeepRemembered
};
constexpr std::array<SetupOption, 10> kOptions{{
    {L"INSTALL", L"/install", false, SetupAction::Install},
    {L"REMOVE", L"/remove", false, SetupAction::Remove},
    {L"CHECK", L"/check", false, SetupAction::Check},
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

constexpr std::array<const wchar_t*, kPortSettingsFieldCount> kFieldNames{L"bits per second", L"parity", L"data bits",
                                                                          L"stop bits", L"flow control"};
constexpr std::array<const wchar_t*, kPortSettingsFieldCount> kOrdinals{L"first", L"second", L"third", L"fourth",
                                                                        L"fifth"};
constexpr std::string_view kFieldOrder =
    "The fields are bits per second, parity, data bits, stop bits, then x or p for flow control if any, as in "
    "19200,n,8,1,p (8N1 is n,8,1).";

// Why a /settings value is refused: which field is wrong and what it takes.
std::wstring SettingsProblem(std::wstring_view value, const PortSettingsCheck& check)
{
    std::wstring problem = L"Settings not offered: " + ShownValue(value) + L". ";
    if (value.find(L' ') != std::wstring_view::npos) {
        problem += L"They take no spaces. ";
    } else if (check.wrongField == kPortSettingsFieldCount) {
        problem += "They have more than five fields. "_w;
    } else {
        const std::size_t field = check.wrongField;
        problem += L"The " + std::wstring(kOrdinals[field]) + L" field, " + kFieldNames[field] +
                   (check.wrongText.empty() ? L", is missing" : L", is " + ShownValue(check.wrongText)) +
                   L": it takes " + FieldCodes(field) + L". ";
    }
    return problem + Widened(kFieldOrder);
}

}  // namespace

std::wstring UsageText()
{
    std::wstring usage =
        "PortSetup.exe /install /port COMn|LPTn [/settings 9600,n,8,1[,x|,p]] [/quiet] [/log FILE]\n"
        "PortSetup.exe /remove [/keepprinter] [/keepremembered] [/quiet] [/log FILE]\n"
        "PortSetup.exe /check /port COMn|LPTn [/settings 9600,n,8,1[,x|,p]] [/quiet] [/log FILE]\n"
        "PortSetup.exe /?\n\n"
        "Ports: COM1 to COM4, LPT1, LPT2; COM5 to COM256 where the Print Spooler has that serial port, as "
        "USB-serial adapters are. Settings (COM ports only): "_w;
    for (std::size_t field = 0; field < kPortSettingsFieldCount; ++field) {
        usage += std::wstring(field == 0 ? L"" : L", ") + kFieldNames[field] + L" (" + FieldCodes(field) + L")";
    }
    usage +=
        ", the last if any; letters in either case. Without /settings a COM port keeps the settings it has, and "
        "gets 9600,n,8,1 where it has none. With /keepprinter, /remove leaves the printer, its driver and its "
        "settings, and forgets only the port it remembers for the installer package; with /keepremembered it "
        "removes them and forgets nothing. /check starts and stores nothing: it says whether the printer is "
        "installed on the port (with those settings, when given). /log: a full path in a folder that exists; "
        "%VARIABLES% are expanded.\n\nExit codes:"_w;
    for (const ExitCodeEntry& entry : kExitCodes) {
        usage += L"\n" + DecimalText(entry.code) + L" " + Widened(entry.meaning);
    }
    return usage + "\nany other: the Windows error that stopped it."_w;
}

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
            return Refused(request, "Only one of /install, /remove, /check and /? can be given."_w);
        }
        if (isAction) {
            request.action = option->action;
        } else if (option == &kOptions[kPort]) {
            request.port = NormalisedPortName(value);
            if (request.port.empty()) {
                return Refused(request, L"Unknown port: " + ShownValue(value));
            }
        } else if (option == &kOptions[kSettings]) {
            const PortSettingsCheck check = CheckPortSettingsValue(value);
            if (check.value.empty() || value.find(L' ') != std::wstring::npos) {
                return Refused(request, SettingsProblem(value, check));
            }
            request.settings = check.value;
            settingsGiven = true;
        } else if (option == &kOptions[kKeepPrinter]) {
            request.keepPrinter = true;
        } else if (option == &kOptions[kKeepRemembered]) {
            request.keepRemembered = true;
        }
    }
    const bool serial = request.port.starts_with(L"COM");
    const bool onPort = request.action == SetupAction::Install || request.action == SetupAction::Check;
    if (request.action == SetupAction::ShowDialog && !arguments.empty()) {
        return Refused(request, "Give /install, /remove, /check or /?."_w);
    }
    if (onPort && request.port.empty()) {
        return Refused(request,
                       std::wstring(request.action == SetupAction::Check ? L"/check" : L"/install") + L" needs /port.");
    }
    if (!onPort && (!request.port.empty() || settingsGiven)) {
        return Refused(request, "/port and /settings go with /install and /check only."_w);
    }
    if ((request.keepPrinter || request.keepRemembered) && request.action != SetupAction::Remove) {
        return Refused(request, "/keepprinter and /keepremembered go with /remove only."_w);
    }
    if (settingsGiven && !serial) {
        return Refused(request, "/settings is for a COM port only."_w);
    }
    return request;
}

}  // namespace portsetup
