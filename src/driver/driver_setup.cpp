#include "driver/driver_setup.hpp"

#include "driver/command_lines.hpp"
#include "driver/port_names.hpp"
#include "driver/protected_print.hpp"
#include "driver/spooler.hpp"
#include "platform/error_text.hpp"
#include "platform/launch.hpp"
#include "platform/service_state.hpp"
#include "platform/system_paths.hpp"
#include "registry/mod_register.hpp"
#include "settings/setting_lists.hpp"

namespace portsetup {

namespace {

constexpr DWORD kSpoolerStartLimit = 60 * 1000;
constexpr DWORD kPrinterGoneLimit = 30 * 1000;
constexpr DWORD kPollInterval = 250;
constexpr DWORD kRemovalRetryInterval = 1000;
constexpr DWORD kErrorPrinterDriverPackageInUse = 3016;  // ERROR_PRINTER_DRIVER_PACKAGE_IN_USE, not in the headers used

const std::wstring& ModelsPrinterName()
{
    static const std::wstring name = L"The printer \"" + std::wstring(kDriverModelName) + L"\"";
    return name;
}

// Adds a line to what a step did.
void Note(std::wstring& done, const std::wstring& line)
{
    if (!line.empty()) {
        done += (done.empty() ? L"" : L"\n") + line;
    }
}

SetupResult SpoolerNotAnswering(DWORD error, std::wstring did)
{
    return {error,
            L"The Print Spooler service does not answer, so nothing was started. Start the Print Spooler "
            L"service (and set it to start automatically), then try again.",
            std::move(did)};
}

// Waits until the spooler no longer shows the model's printer, until the
// deadline (a tick count).
bool PrinterGone(ULONGLONG deadline, WaitFunction wait)
{
    for (;;) {
        if (UniquePrinter printer; OpenModelsPrinter(PRINTER_ACCESS_USE, &printer) == ERROR_INVALID_PRINTER_NAME) {
            return true;
        }
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        wait(nullptr, kPollInterval);
    }
}

// Deletes the model's printer, if there is one: 0 (*deleted says whether
// there was one), or the error.
DWORD DeleteModelsPrinter(bool* deleted)
{
    UniquePrinter printer;
    const DWORD error = OpenModelsPrinter(PRINTER_ALL_ACCESS, &printer);
    if (error != ERROR_SUCCESS) {
        return error == ERROR_INVALID_PRINTER_NAME ? ERROR_SUCCESS : error;
    }
    // A paused printer with jobs cannot be deleted, and one with jobs would
    // only be marked for deletion: resumed, and its queue emptied first.
    Spooler().setPrinter(printer.get(), 0, nullptr, PRINTER_CONTROL_RESUME);
    Spooler().setPrinter(printer.get(), 0, nullptr, PRINTER_CONTROL_PURGE);
    *deleted = Spooler().deletePrinter(printer.get()) != FALSE;
    return *deleted ? ERROR_SUCCESS : ::GetLastError();
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
    return {ERROR_SUCCESS, {}, L"started: " + std::wstring(commandLine)};
}

// Runs the removal line and waits for it.
SetupResult RunRemovalLine(const std::wstring& line, DWORD limit, WaitFunction wait)
{
    UniqueKernelHandle process;
    SetupResult started = StartDriverCommand(line, &process);
    if (started.error != ERROR_SUCCESS) {
        return started;
    }
    SetupResult ended = WaitForDriverCommand(process.get(), limit, wait);
    Note(started.done, ended.error == ERROR_SUCCESS ? L"printer set-up ended" : L"");
    return ended.error == ERROR_SUCCESS ? started : ended;
}

// The information file beside the program: 0, or ERROR_FILE_NOT_FOUND and
// its path.
SetupResult FindInformationFile()
{
    const std::wstring informationFile = InformationFilePath(ApplicationFolder());
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

SetupResult WaitForSpooler(WaitFunction wait)
{
    DWORD error = SpoolerError();
    if (error == ERROR_SUCCESS) {
        return {};
    }
    const ServiceState service = QueryServiceState(L"Spooler");
    if (service.known && service.startType == SERVICE_DISABLED) {
        return {ERROR_SERVICE_DISABLED,
                L"The Print Spooler service is disabled, so nothing was started. Set it to start automatically, "
                L"start it, then try again.",
                L"the Print Spooler service is disabled"};
    }
    const bool starting =
        service.known && (service.currentState == SERVICE_START_PENDING ||
                          (service.startType == SERVICE_AUTO_START && service.currentState != SERVICE_RUNNING));
    if (!starting) {
        return SpoolerNotAnswering(error, L"the Print Spooler service is not running");
    }
    const ULONGLONG start = ::GetTickCount64();
    while (::GetTickCount64() - start < kSpoolerStartLimit) {
        wait(nullptr, kPollInterval);
        if (error = SpoolerError(); error == ERROR_SUCCESS) {
            return {ERROR_SUCCESS,
                    {},
                    L"the Print Spooler service was starting; it answered after " +
                        DecimalText(static_cast<DWORD>((::GetTickCount64() - start) / 1000)) + L" s"};
        }
    }
    return SpoolerNotAnswering(error, L"the Print Spooler service was starting; it did not answer within 60 s");
}

SetupResult PrepareInstall(std::wstring_view port, WaitFunction wait)
{
    SetupResult ready = WaitForSpooler(wait);
    if (ready.error != ERROR_SUCCESS) {
        return ready;
    }
    std::vector<std::wstring> ports;
    SpoolerPorts(&ports);
    if (std::wstring problem = PortNotOfThisPc(port, ports); !problem.empty()) {
        return {ERROR_INVALID_PARAMETER, problem};
    }
    if (SetupResult missing = FindInformationFile(); missing.error != ERROR_SUCCESS) {
        return missing;
    }
    if (ProtectedPrintModeOn()) {
        return {ERROR_DRIVER_BLOCKED,
                L"Windows protected print mode is on: it takes only Microsoft's own printer drivers, so the "
                L"printer's driver cannot be installed, and nothing was started. An administrator can turn the "
                L"mode off (Settings, Bluetooth & devices, Printers & scanners), then try again.",
                L"Windows protected print mode is on"};
    }
    return ready;
}

SetupResult InstallDriver(std::wstring_view port, std::wstring_view extraOptions, UniqueKernelHandle* process)
{
    return StartDriverCommand(InstallCommandLine(ApplicationFolder(), port) + std::wstring(extraOptions), process);
}

SetupResult MovePrinter(std::wstring_view port)
{
    std::wstring from;
    UniquePrinter printer;
    DWORD error = OpenModelsPrinter(PRINTER_ALL_ACCESS, &printer);
    if (error == ERROR_SUCCESS) {
        std::vector<BYTE> buffer = PrinterInfo2(printer.get());
        if (buffer.empty()) {
            error = ::GetLastError();
        } else {
            auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
            from = info->pPortName != nullptr ? info->pPortName : L"";
            std::wstring to(port);
            info->pPortName = to.data();
            info->pSecurityDescriptor = nullptr;  // left as it is
            error = Spooler().setPrinter(printer.get(), 2, buffer.data(), 0) ? ERROR_SUCCESS : ::GetLastError();
        }
    }
    if (error != ERROR_SUCCESS) {
        return {error, L"The printer could not be moved to " + std::wstring(port) + L"."};
    }
    return {ERROR_SUCCESS, {}, L"printer moved from " + from + L" to " + std::wstring(port)};
}

SetupResult RemoveDriver(std::wstring_view extraOptions, DWORD setupLimit, WaitFunction wait)
{
    SetupResult result = WaitForSpooler(wait);
    if (result.error != ERROR_SUCCESS) {
        return result;
    }
    bool deleted = false;
    if (const DWORD error = DeleteModelsPrinter(&deleted); error != ERROR_SUCCESS) {
        return {error, ModelsPrinterName() + L" could not be deleted.", result.done};
    }
    const ULONGLONG deadline = ::GetTickCount64() + kPrinterGoneLimit;
    if (!PrinterGone(deadline, wait)) {
        return {ERROR_PRINTER_DRIVER_IN_USE,
                ModelsPrinterName() +
                    L" is still there 30 seconds after it was deleted (the spooler may still be printing to it), so "
                    L"its driver was not removed.",
                result.done};
    }
    Note(result.done, deleted ? L"printer deleted" : L"no printer to delete");
    std::wstring line = RemovalCommandLine() + std::wstring(extraOptions);
    for (;;) {
        SetupResult run = RunRemovalLine(line, setupLimit, wait);
        Note(result.done, run.done);
        if (run.error != ERROR_SUCCESS) {
            run.done = result.done;
            return run;
        }
        if (!ModelsDriver().native || !PrintersUsingModelsDriver().empty()) {
            return result;
        }
        if (::GetTickCount64() >= deadline) {
            return {ERROR_PRINTER_DRIVER_IN_USE,
                    ModelsPrinterName() +
                        L" is still being deleted (a job is still printing to it, or a program holds it open), so "
                        L"its driver could not be removed. Try again once the printer is gone.",
                    result.done};
        }
        Note(result.done, L"the driver still held by a printer being deleted; the removal runs again");
        if (!line.ends_with(L" /q")) {
            line += L" /q";  // the set-up's own messages once are enough
        }
        wait(nullptr, kRemovalRetryInterval);
    }
}

SetupResult RemoveDriverPackage(const std::wstring& informationFile)
{
    if (informationFile.empty() || Spooler().deletePackage == nullptr) {
        return {};
    }
    const HRESULT removed = Spooler().deletePackage(nullptr, informationFile.c_str(), NativeDriverEnvironment());
    if (SUCCEEDED(removed)) {
        return {ERROR_SUCCESS, {}, L"driver package removed: " + informationFile};
    }
    if (removed == HRESULT_FROM_WIN32(kErrorPrinterDriverPackageInUse)) {
        return {ERROR_SUCCESS, {}, L"driver package kept, another driver uses it: " + informationFile};
    }
    return {static_cast<DWORD>(HRESULT_CODE(removed)), L"The driver package could not be removed: " + informationFile};
}

SetupResult WaitForDriverCommand(HANDLE process, DWORD limit, WaitFunction wait)
{
    const DWORD waited = wait(process, limit);
    if (waited == WAIT_OBJECT_0) {
        return {};
    }
    const DWORD error = waited == WAIT_TIMEOUT ? static_cast<DWORD>(ERROR_TIMEOUT) : ::GetLastError();
    // Left running, it could still hold the driver store when the set-up is tried again.
    ::TerminateProcess(process, ERROR_TIMEOUT);
    ::WaitForSingleObject(process, 5000);
    return {error, L"The printer set-up did not end in time and was stopped."};
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
