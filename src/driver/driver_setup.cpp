#include "driver/driver_setup.hpp"

#include "driver/command_lines.hpp"
#include "driver/port_names.hpp"
#include "driver/spooler.hpp"
#include "platform/error_text.hpp"
#include "platform/launch.hpp"
#include "platform/system_paths.hpp"
#include "registry/mod_register.hpp"
#include "settings/setting_lists.hpp"

namespace portsetup {

namespace {

constexpr DWORD kPrinterGoneTimeoutMilliseconds = 30 * 1000;
constexpr DWORD kPrinterGonePollMilliseconds = 250;

// Waits until the spooler no longer knows the model's printer.
bool PrinterGone()
{
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        if (UniquePrinter printer; OpenModelsPrinter(PRINTER_ACCESS_USE, &printer) == ERROR_INVALID_PRINTER_NAME) {
            return true;
        }
        if (::GetTickCount64() - start >= kPrinterGoneTimeoutMilliseconds) {
            return false;
        }
        ::Sleep(kPrinterGonePollMilliseconds);
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

SetupResult InstallDriver(std::wstring_view port, std::wstring_view extraOptions, UniqueKernelHandle* process)
{
    if (SetupResult missing = FindInformationFile(); missing.error != ERROR_SUCCESS) {
        return missing;
    }
    if (const DWORD error = SpoolerError(); error != ERROR_SUCCESS) {
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

SetupResult RemoveDriver(std::wstring_view extraOptions, UniqueKernelHandle* process)
{
    if (const DWORD error = SpoolerError(); error != ERROR_SUCCESS) {
        return SpoolerNotAnswering(error);
    }
    bool deleted = false;
    UniquePrinter printer;
    DWORD error = OpenModelsPrinter(PRINTER_ALL_ACCESS, &printer);
    if (error == ERROR_INVALID_PRINTER_NAME) {
        error = ERROR_SUCCESS;  // nothing to delete
    } else if (error == ERROR_SUCCESS) {
        // With jobs in its queue the printer would only be marked for deletion.
        Spooler().setPrinter(printer.get(), 0, nullptr, PRINTER_CONTROL_PURGE);
        deleted = Spooler().deletePrinter(printer.get()) != FALSE;
        error = deleted ? ERROR_SUCCESS : ::GetLastError();
    }
    printer.reset();
    const std::wstring printerName = L"The printer \"" + std::wstring(kDriverModelName) + L"\"";
    if (error != ERROR_SUCCESS) {
        return {error, printerName + L" could not be deleted."};
    }
    if (!PrinterGone()) {
        return {ERROR_TIMEOUT, printerName +
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
