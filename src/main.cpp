#include <windows.h>
#include <commctrl.h>

#include <string>

#include "dialog/form1.hpp"
#include "dialog/form_layout.hpp"
#include "platform/error_text.hpp"
#include "platform/proc_address.hpp"

namespace {

// Limits the folders Windows searches for DLLs loaded at run time to the
// system folder, so that a DLL left beside the program (in a download folder,
// say) is never picked up. SetDefaultDllDirectories is looked up because
// Windows 7 has it only with an update.
void RestrictDllSearchToSystemFolder()
{
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefaultDllDirectories =
        portsetup::ProcAddress<SetDefaultDllDirectoriesFn>(kernel, "SetDefaultDllDirectories");
    if (setDefaultDllDirectories != nullptr) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    ::SetDllDirectoryW(L"");  // takes the current folder out of the search
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*showCommand*/)
{
    RestrictDllSearchToSystemFolder();

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
