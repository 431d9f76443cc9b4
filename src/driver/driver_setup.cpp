#include "driver/driver_setup.hpp"

#include <winspool.h>

#include "driver/command_lines.hpp"
#include "driver/setup_request.hpp"
#include "platform/error_text.hpp"
#include "platform/launch.hpp"
#include "platform/proc_address.hpp"
#include "platform/system_paths.hpp"
#include "registry/mod_register.hpp"
#include "settings/setting_lists.hpp"

namespace portsetup {

namespace {

constexpr DWORD kPrinterGoneTimeoutMilliseconds = 30 * 1000;
constexpr DWORD kPrinterGonePollMilliseconds = 250;

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
          setPrinter(ProcAddress<decltype(setPrinter)>(module.get(), "SetPrinterW")),
          enumDrivers(ProcAddress<decltype(enumDrivers)>(module.get(), "EnumPrinterDriversW")),
          enumPrinters(ProcAddress<decltype(enumPrinters)>(module.get(), "EnumPrintersW"))
    {
    }

    // 0 when the spooler answers: the local print server opens. Otherwise
    // the error, RPC_S_SERVER_UNAVAILABLE for a stopped Print Spooler service.
    [[nodiscard]] DWORD Answers() const
    {
        if (!module) {
            return loadError;
        }
        if (openPrinter == nullptr || closePrinter == nullptr || deletePrinter == nullptr || getPrinter == nullptr ||
            setPrinter == nullptr || enumDrivers == nullptr || enumPrinters == nullptr) {
            return ERROR_PROC_NOT_FOUND;
        }
        HANDLE server = nullptr;
        if (!openPrinter(nullptr, &server, nullptr)) {
            return ::GetLastError();
        }
        closePrinter(server);
        return ERROR_SUCCESS;
    }

    UniqueModule module;
    DWORD loadError;  // kept before the lookups below overwrite it
    BOOL(WINAPI* openPrinter)(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW);
    BOOL(WINAPI* closePrinter)(HANDLE);
    BOOL(WINAPI* deletePrinter)(HANDLE);
    BOOL(WINAPI* getPrinter)(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD);
    BOOL(WINAPI* setPrinter)(HANDLE, DWORD, LPBYTE, DWORD);
    BOOL(WINAPI* enumDrivers)(LPWSTR, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
    BOOL(WINAPI* enumPrinters)(DWORD, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
};

// The printer's PRINTER_INFO_2W, in a buffer of its own; empty when it cannot be read.
std::vector<BYTE> PrinterInfo2(const Spooler& spooler, HANDLE printer)
{
    DWORD needed = 0;
    spooler.getPrinter(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + sizeof(PRINTER_INFO_2W));
    if (!spooler.getPrinter(printer, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
        buffer.clear();
    }
    return buffer;
}

// Opens the model's printer and hands it to use(); 0 and nothing done when
// there is no such printer, the Windows error when it cannot be opened.
template <typename Use>
DWORD WithModelsPrinter(const Spooler& spooler, ACCESS_MASK access, Use use)
{
    if (const DWORD error = spooler.Answers(); error != ERROR_SUCCESS) {
        return error;
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

// Names as the spooler compares them: without regard to case.
bool SameName(const wchar_t* name, std::wstring_view other)
{
    return name != nullptr && ::lstrcmpiW(name, std::wstring(other).c_str()) == 0;
}

// Waits until the spooler no longer knows the model's printer.
bool PrinterGone(const Spooler& spooler)
{
    std::wstring name(kDriverModelName);
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        HANDLE printer = nullptr;
        if (spooler.openPrinter(name.data(), &printer, nullptr)) {
            spooler.closePrinter(printer);
        } else if (::GetLastError() == ERROR_INVALID_PRINTER_NAME) {
            return true;
        }
        if (::GetTickCount64() - start >= kPrinterGoneTimeoutMilliseconds) {
            return false;
        }
        ::Sleep(kPrinterGonePollMilliseconds);
    }
}

// The spooler's name for the environment of Windows' own machine, whose
// drivers the native printer set-up removes.
const wchar_t* NativeDriverEnvironment()
{
    switch (NativeMachine()) {
    case IMAGE_FILE_MACHINE_AMD64:
        return L"Windows x64";
    case IMAGE_FILE_MACHINE_ARM64:
        return L"Windows ARM64";
    case IMAGE_FILE_MACHINE_I386:
        return L"Windows NT x86";
    default:
        return nullptr;
    }
}

SetupResult SpoolerNotAnswering(DWORD error)
{
    return {error,
            L"The Print Spooler service does not answer, so nothing was started. Start the Print Spooler "
            L"service (and set it to start automatically), then try again."};
}

// Starts a driver command line with the native rundll32.exe, minimised.
SetupResult StartDriverCommand(std::wstring_view commandLine, UniqueKernelHandle* process)
{
    const std::wstring application = SystemRundll32Path();
    // Not the program's folder, often a download folder: rundll32 would look
    // there for DLLs it does not find in the system folder.
    const DWORD error = Launch(application, commandLine, SW_SHOWMINIMIZED, SystemFolder(), process);
    if (error != ERROR_SUCCESS) {
        return {error, L"The printer set-up could not be started.\n\n" + application};
    }
    return {};
}

// The information file beside the program: 0, or ERROR_FILE_NOT_FOUND and
// its path.
SetupResult FindInformationFile()
{
    const std::wstring informationFile = ApplicationFolder() + std::wstring(kInformationFileName);
    const DWORD attributes = ::GetFileAttributesW(informationFile.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {
            ERROR_FILE_NOT_FOUND,
            L"The driver information file is not beside the program, so nothing was started:\n\n" + informationFile};
    }
    return {};
}

}  // namespace

std::wstring FailureReport(const SetupResult& result)
{
    return result.failure + L"\n\n" + SystemErrorText(result.error);
}

SetupResult InstallDriver(std::wstring_view port, std::wstring_view extraOptions, UniqueKernelHandle* process)
{
    if (SetupResult missing = FindInformationFile(); missing.error != ERROR_SUCCESS) {
        return missing;
    }
    if (const DWORD error = Spooler().Answers(); error != ERROR_SUCCESS) {
        return SpoolerNotAnswering(error);
    }
    const std::wstring line = InstallCommandLine(ApplicationFolder(), port) + std::wstring(extraOptions);
    SetupResult result = StartDriverCommand(line, process);
    result.done = L"started: " + line;
    return result;
}

SetupResult MovePrinter(std::wstring_view port)
{
    if (SetupResult missing = FindInformationFile(); missing.error != ERROR_SUCCESS) {
        return missing;
    }
    const Spooler spooler;
    std::wstring from;
    const DWORD error = WithModelsPrinter(spooler, PRINTER_ALL_ACCESS, [&](HANDLE printer) -> DWORD {
        std::vector<BYTE> buffer = PrinterInfo2(spooler, printer);
        if (buffer.empty()) {
            return ::GetLastError();
        }
        auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
        from = info->pPortName != nullptr ? info->pPortName : L"";
        std::wstring to(port);
        info->pPortName = to.data();
        info->pSecurityDescriptor = nullptr;  // left as it is
        return spooler.setPrinter(printer, 2, buffer.data(), 0) ? ERROR_SUCCESS : ::GetLastError();
    });
    if (error != ERROR_SUCCESS) {
        return {error, L"The printer could not be moved to " + std::wstring(port) + L"."};
    }
    return {ERROR_SUCCESS, {}, L"printer moved from " + from + L" to " + std::wstring(port)};
}

std::vector<std::wstring> PrintersUsingModelsDriver()
{
    std::vector<std::wstring> names;
    const Spooler spooler;
    if (spooler.Answers() != ERROR_SUCCESS) {
        return names;
    }
    DWORD needed = 0;
    DWORD count = 0;
    spooler.enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + sizeof(PRINTER_INFO_2W));
    if (spooler.enumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed,
                             &count)) {
        const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            if (SameName(printers[i].pDriverName, kDriverModelName) && printers[i].pPrinterName != nullptr) {
                names.emplace_back(printers[i].pPrinterName);
            }
        }
    }
    return names;
}

SetupResult RemoveDriver(std::wstring_view extraOptions, UniqueKernelHandle* process)
{
    const Spooler spooler;
    if (const DWORD error = spooler.Answers(); error != ERROR_SUCCESS) {
        return SpoolerNotAnswering(error);
    }
    bool deleted = false;
    const DWORD error = WithModelsPrinter(spooler, PRINTER_ALL_ACCESS, [&](HANDLE printer) -> DWORD {
        // With jobs in its queue the printer would only be marked for deletion.
        spooler.setPrinter(printer, 0, nullptr, PRINTER_CONTROL_PURGE);
        deleted = spooler.deletePrinter(printer) != FALSE;
        return deleted ? ERROR_SUCCESS : ::GetLastError();
    });
    const std::wstring printer = L"The printer \"" + std::wstring(kDriverModelName) + L"\"";
    if (error != ERROR_SUCCESS) {
        return {error, printer + L" could not be deleted."};
    }
    if (!PrinterGone(spooler)) {
        return {ERROR_TIMEOUT, printer +
                                   L" is still there 30 seconds after it was deleted (the spooler may still be "
                                   L"printing to it), so its driver was not removed."};
    }
    SetupResult result = StartDriverCommand(RemovalCommandLine() + std::wstring(extraOptions), process);
    result.done = (deleted ? L"printer deleted" : L"no printer to delete") + std::wstring(L", removal started");
    return result;
}

SetupResult WaitForDriverCommand(HANDLE process, DWORD timeoutMilliseconds)
{
    const DWORD waited = ::WaitForSingleObject(process, timeoutMilliseconds);
    if (waited == WAIT_OBJECT_0) {
        return {};
    }
    const DWORD error = waited == WAIT_TIMEOUT ? static_cast<DWORD>(ERROR_TIMEOUT) : ::GetLastError();
    // Left running, it could still hold the driver store when the set-up is tried again.
    ::TerminateProcess(process, ERROR_TIMEOUT);
    ::WaitForSingleObject(process, 5000);
    return {error, L"The printer set-up did not end in time and was stopped."};
}

PrinterState ModelsPrinter()
{
    PrinterState state;
    const Spooler spooler;
    WithModelsPrinter(spooler, PRINTER_ACCESS_USE, [&](HANDLE printer) -> DWORD {
        if (const std::vector<BYTE> buffer = PrinterInfo2(spooler, printer); !buffer.empty()) {
            const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
            state.exists = true;
            state.port = info->pPortName != nullptr ? info->pPortName : L"";
            state.modelsDriver = SameName(info->pDriverName, kDriverModelName);
            state.pendingDeletion = (info->Status & PRINTER_STATUS_PENDING_DELETION) != 0;
        }
        return ERROR_SUCCESS;
    });
    return state;
}

bool IsInstalledOn(const PrinterState& printer, std::wstring_view port)
{
    return printer.exists && printer.modelsDriver && !printer.pendingDeletion && SameName(printer.port.c_str(), port);
}

DriverState ModelsDriver()
{
    DriverState state;
    state.native = true;  // until the spooler shows it gone
    const Spooler spooler;
    if (spooler.Answers() != ERROR_SUCCESS) {
        return state;
    }
    DWORD needed = 0;
    DWORD count = 0;
    // Every environment: a 32-bit caller would otherwise see only the 32-bit drivers.
    std::wstring all = L"all";
    spooler.enumDrivers(nullptr, all.data(), 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + sizeof(DRIVER_INFO_2W));
    if (!spooler.enumDrivers(nullptr, all.data(), 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed,
                             &count)) {
        return state;
    }
    state.native = false;
    const wchar_t* native = NativeDriverEnvironment();
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (!SameName(drivers[i].pName, kDriverModelName)) {
            continue;
        }
        const wchar_t* environment = drivers[i].pEnvironment != nullptr ? drivers[i].pEnvironment : L"";
        if (native == nullptr || SameName(environment, native)) {
            state.native = true;
        } else {
            state.otherEnvironments.emplace_back(environment);
        }
    }
    return state;
}

std::wstring MissingPortProblem(std::wstring_view port)
{
    std::vector<std::wstring> valueNames;
    Mod_Register::GetValueNames(HKEY_LOCAL_MACHINE, kPortsKeyPath, &valueNames);  // unreadable: no port past COM4
    return PortNotOfThisPc(port, valueNames);
}

SetupResult StorePortSettings(const std::wstring& port, const std::wstring& value)
{
    const auto status = static_cast<DWORD>(Mod_Register::SetRegString(HKEY_LOCAL_MACHINE, kPortsKeyPath, port, value));
    if (status != ERROR_SUCCESS) {
        return {status,
                L"The printer set-up was started, but the settings were not stored.\n\n" + port + L" = " + value};
    }
    return {};
}

}  // namespace portsetup
