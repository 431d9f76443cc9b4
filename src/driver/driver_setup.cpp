#include "driver/driver_setup.hpp"

#include <winspool.h>

#include <vector>

#include "driver/command_lines.hpp"
#include "platform/error_text.hpp"
#include "platform/launch.hpp"
#include "platform/proc_address.hpp"
#include "platform/system_paths.hpp"
#include "registry/mod_register.hpp"
#include "settings/setting_lists.hpp"

namespace portsetup {

namespace {

// The spooler's functions, from winspool.drv in the system folder: it is not
// among the DLLs that Windows always takes from there.
struct Spooler {
    Spooler()
        : module(::LoadLibraryW((SystemFolder() + L"\\winspool.drv").c_str())),
          loadError(module ? ERROR_SUCCESS : ::GetLastError()),
          openPrinter(ProcAddress<decltype(openPrinter)>(module.get(), "OpenPrinterW")),
          closePrinter(ProcAddress<decltype(closePrinter)>(module.get(), "ClosePrinter")),
          deletePrinter(ProcAddress<decltype(deletePrinter)>(module.get(), "DeletePrinter")),
          getPrinter(ProcAddress<decltype(getPrinter)>(module.get(), "GetPrinterW")),
          enumDrivers(ProcAddress<decltype(enumDrivers)>(module.get(), "EnumPrinterDriversW"))
    {
    }
    [[nodiscard]] bool Complete() const
    {
        return openPrinter != nullptr && closePrinter != nullptr && deletePrinter != nullptr && getPrinter != nullptr &&
               enumDrivers != nullptr;
    }

    UniqueModule module;
    DWORD loadError;  // kept before the lookups below overwrite it
    BOOL(WINAPI* openPrinter)(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW);
    BOOL(WINAPI* closePrinter)(HANDLE);
    BOOL(WINAPI* deletePrinter)(HANDLE);
    BOOL(WINAPI* getPrinter)(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD);
    BOOL(WINAPI* enumDrivers)(LPWSTR, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
};

// Opens the model's printer and hands it to use(); 0 and nothing done when
// there is no such printer, the Windows error when it cannot be opened.
template <typename Use>
DWORD WithModelsPrinter(const Spooler& spooler, ACCESS_MASK access, Use use)
{
    if (!spooler.module) {
        return spooler.loadError;
    }
    if (!spooler.Complete()) {
        return ERROR_PROC_NOT_FOUND;
    }
    std::wstring name(kDriverModelName);
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    HANDLE printer = nullptr;
    if (!spooler.openPrinter(name.data(), &printer, &defaults)) {
        const DWORD error = ::GetLastError();
        return error == ERROR_INVALID_PRINTER_NAME ? ERROR_SUCCESS : error;
    }
    const DWORD error = use(printer);
    spooler.closePrinter(printer);
    return error;
}

}  // namespace

std::wstring FailureReport(const SetupResult& result)
{
    return result.failure + L"\n\n" + SystemErrorText(result.error);
}

SetupResult StartDriverCommand(std::wstring_view commandLine, UniqueKernelHandle* process)
{
    const std::wstring application = SystemRundll32Path();
    const DWORD error = Launch(application, commandLine, SW_SHOWMINIMIZED, process);
    if (error != ERROR_SUCCESS) {
        return {error, L"The printer set-up could not be started.\n\n" + application};
    }
    return {};
}

SetupResult RemoveDriver(std::wstring_view extraOptions, UniqueKernelHandle* process)
{
    const Spooler spooler;
    const DWORD error = WithModelsPrinter(spooler, PRINTER_ALL_ACCESS, [&spooler](HANDLE printer) -> DWORD {
        return spooler.deletePrinter(printer) ? ERROR_SUCCESS : ::GetLastError();
    });
    if (error != ERROR_SUCCESS) {
        return {error, L"The printer \"" + std::wstring(kDriverModelName) + L"\" could not be deleted."};
    }
    return StartDriverCommand(RemovalCommandLine() + std::wstring(extraOptions), process);
}

SetupResult WaitForDriverCommand(HANDLE process, DWORD timeoutMilliseconds)
{
    const DWORD waited = ::WaitForSingleObject(process, timeoutMilliseconds);
    if (waited == WAIT_OBJECT_0) {
        return {};
    }
    const DWORD error = waited == WAIT_TIMEOUT ? static_cast<DWORD>(ERROR_TIMEOUT) : ::GetLastError();
    return {error, L"The printer set-up did not end."};
}

bool PrinterIsOnPort(std::wstring_view port)
{
    bool onPort = false;
    const Spooler spooler;
    WithModelsPrinter(spooler, PRINTER_ACCESS_USE, [&](HANDLE printer) -> DWORD {
        DWORD needed = 0;
        spooler.getPrinter(printer, 2, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed + sizeof(PRINTER_INFO_2W));
        if (spooler.getPrinter(printer, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
            const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
            onPort = info->pPortName != nullptr && ::lstrcmpiW(info->pPortName, std::wstring(port).c_str()) == 0;
        }
        return ERROR_SUCCESS;
    });
    return onPort;
}

bool DriverIsInstalled()
{
    const Spooler spooler;
    if (!spooler.Complete()) {
        return true;  // unknown: not shown to be gone
    }
    DWORD needed = 0;
    DWORD count = 0;
    // Every environment: a 32-bit caller would otherwise see only the 32-bit drivers.
    std::wstring environment = L"all";
    spooler.enumDrivers(nullptr, environment.data(), 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + sizeof(DRIVER_INFO_1W));
    if (!spooler.enumDrivers(nullptr, environment.data(), 1, buffer.data(), static_cast<DWORD>(buffer.size()), &needed,
                             &count)) {
        return true;
    }
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (kDriverModelName == drivers[i].pName) {
            return true;
        }
    }
    return false;
}

LONG StorePortSettings(const std::wstring& port, const std::wstring& value)
{
    return Mod_Register::SetRegString(HKEY_LOCAL_MACHINE, kPortsKeyPath, port, value);
}

}  // namespace portsetup
