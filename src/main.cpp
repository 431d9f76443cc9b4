#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "dialog/form1.hpp"
#include "dialog/form_layout.hpp"
#include "platform/error_text.hpp"
#include "platform/hardening.hpp"
#include "platform/system.hpp"
#include "unattended/unattended.hpp"
#include "whole_program.hpp"

CALLED_FROM_OUTSIDE int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                                        int /*showCommand*/)
{
    portsetup::RestrictDllSearchToSystemFolder();
    portsetup::TurnOnProcessMitigations(__argc > 1);
    const bool seen = portsetup::WindowsCanBeSeen();
    if (__argc > 1) {
        portsetup::SetupRequest request = portsetup::ParseSetupArguments({__wargv + 1, __wargv + __argc});
        request.quiet = request.quiet || !seen;
        return portsetup::RunUnattended(request);
    }
    if (!seen) {
        return ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION;  // a dialog nobody could use
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    portsetup::Form1 form(instance);
    if (const DWORD error = form.Create(); error != ERROR_SUCCESS) {
        const std::wstring message = L"The window could not be created.\n\n" + portsetup::SystemErrorText(error);
        ::MessageBoxW(nullptr, message.c_str(), portsetup::kFormCaption, MB_OK | MB_ICONERROR);
        return static_cast<int>(error);
    }
    form.Show();
    return form.RunMessageLoop();
}
