#include "driver/setup_request.hpp"

#include <algorithm>
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

// "COM2", "com2:" → "COM2:"; empty for a port the dialog does not offer.
std::wstring PortNameOf(std::wstring_view text)
{
    std::wstring name = Upper(text);
    if (name.empty() || name.back() != L':') {
        name += L':';
    }
    const bool offered = std::find(kPortNames.begin(), kPortNames.end(), name) != kPortNames.end();
    return offered ? name : std::wstring();
}

SetupRequest Refused(SetupRequest request, std::wstring problem)
{
    request.problem = std::move(problem);
    return request;
}

}  // namespace

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
            request.port = PortNameOf(value);
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
