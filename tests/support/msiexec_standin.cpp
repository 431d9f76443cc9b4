// Stands in for msiexec.exe in a test prefix, where Wine's
// RemoveExistingProducts removes the old product of a major upgrade (by
// starting "msiexec /qn /i {PRODUCT} REMOVE=ALL ...") without setting
// UPGRADINGPRODUCTCODE, which Windows Installer sets for that removal
// ("UPGRADINGPRODUCTCODE property", Windows Installer docs). Such a removal
// gets it (the upgrading product's code is not known here; any value tells
// the package). It takes what the tests give msiexec, with no UI: /i PACKAGE
// or /i {PRODUCT}, /x PACKAGE, then PROPERTY=VALUE..., and ends with what
// Windows Installer returns.
#include <windows.h>
#include <msi.h>

#include <string>

int wmain(int argc, wchar_t** argv)
{
    std::wstring action;
    std::wstring package;
    std::wstring properties;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if ((argument == L"/i" || argument == L"/x") && i + 1 < argc) {
            action = argument;
            package = argv[++i];
        } else if (argument.find(L'=') != std::wstring::npos) {
            properties += L" " + argument;
        }
    }
    ::MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    if (action == L"/x") {
        properties = L"REMOVE=ALL" + properties;
    }
    if (package.starts_with(L"{")) {
        if (properties.find(L"REMOVE=ALL") != std::wstring::npos) {
            properties += L" UPGRADINGPRODUCTCODE={00000000-0000-0000-0000-000000000001}";
        }
        return static_cast<int>(::MsiConfigureProductExW(package.c_str(), 0, INSTALLSTATE_DEFAULT, properties.c_str()));
    }
    return static_cast<int>(::MsiInstallProductW(package.c_str(), properties.c_str()));
}
