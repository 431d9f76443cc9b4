#include "driver/driver_setup.hpp"

#include <winspool.h>

#include "driver/command_lines.hpp"
#include "platform/launch.hpp"
#include "platform/proc_address.hpp"
#include "platform/system_paths.hpp"
#include "platform/win32_handles.hpp"

namespace portsetup {

namespace {

using OpenPrinterWFn = BOOL(WINAPI*)(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW);
using DeletePrinterFn = BOOL(WINAPI*)(HANDLE);
using ClosePrinterFn = BOOL(WINAPI*)(HANDLE);

// Deletes the printer of that name; 0 also when there is none.
DWORD DeletePrinterNamed(std::wstring name)
{
    // By full path: winspool.drv is not among the DLLs that Windows always
    // takes from the system folder.
    const UniqueModule spooler(::LoadLibraryW((SystemFolder() + L"\\winspool.drv").c_str()));
    if (!spooler) {
        return ::GetLastError();
    }
    const auto openPrinter = ProcAddress<OpenPrinterWFn>(spooler.get(), "OpenPrinterW");
    const auto deletePrinter = ProcAddress<DeletePrinterFn>(spooler.get(), "DeletePrinter");
    const auto closePrinter = ProcAddress<ClosePrinterFn>(spooler.get(), "ClosePrinter");
    if (openPrinter == nullptr || deletePrinter == nullptr || closePrinter == nullptr) {
        return ERROR_PROC_NOT_FOUND;
    }
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!openPrinter(name.data(), &printer, &access)) {
        const DWORD error = ::GetLastError();
        return error == ERROR_INVALID_PRINTER_NAME ? ERROR_SUCCESS : error;
    }
    const DWORD error = deletePrinter(printer) ? ERROR_SUCCESS : ::GetLastError();
    closePrinter(printer);
    return error;
}

}  // namespace

SetupResult StartDriverCommand(std::wstring_view commandLine)
{
    const std::wstring application = SystemRundll32Path();
    const DWORD error = Launch(application, commandLine, SW_SHOWMINIMIZED);
    if (error != ERROR_SUCCESS) {
        return {error, L"The printer set-up could not be started.\n\n" + application};
    }
    return {};
}

SetupResult RemoveDriver()
{
    const std::wstring printer(kDriverModelName);
    if (const DWORD error = DeletePrinterNamed(printer); error != ERROR_SUCCESS) {
        return {error, L"The printer \"" + printer + L"\" could not be deleted."};
    }
    return StartDriverCommand(RemovalCommandLine());
}

}  // namespace portsetup
