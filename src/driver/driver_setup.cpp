#include "driver/driver_setup.hpp"

#include <vector>

#include "driver/command_lines.hpp"
#include "driver/port_names.hpp"
#include "driver/protected_print.hpp"
#include "driver/spooler.hpp"
#include "platform/error_text.hpp"
#include "platform/portable/log_text.hpp"
#include "platform/system.hpp"
#include "platform/waiting.hpp"
#include "platform/win32_handles.hpp"
#include "registry/remembered_install.hpp"
#include "settings/port_settings.hpp"

namespace portsetup {

namespace {

constexpr DWORD kSpoolerStartLimit = 60 * 1000;
constexpr DWORD kPrinterGoneLimit = 30 * 1000;
constexpr DWORD kPollInterval = 250;
constexpr DWORD kRemovalRetryInterval = 1000;
// "System Error Codes (3000-3999)": ERROR_PRINTER_DRIVER_PACKAGE_IN_USE, 3015
// (0xBC7); not in the headers used.
constexpr DWORD kErrorPrinterDriverPackageInUse = 3015;

std::wstring ModelsPrinterName()
{
    return L"The printer \"" + std::wstring(kDriverModelName) + L"\"";
}

std::wstring Seconds(ULONGLONG milliseconds)
{
    return DecimalText(static_cast<DWORD>(milliseconds / 1000)) + L" s";
}

// A report that passes on only what the set-up waits for.
class ForwardWaiting final : public SetupReport {
public:
    explicit ForwardWaiting(SetupReport& to) : to_(to) {}
    void Done(std::wstring_view /*step*/) override {}
    void Found(std::wstring_view /*finding*/) override {}
    void Failed(std::wstring_view /*step*/, DWORD /*error*/) override {}
    void Waiting(const wchar_t* what) override { to_.Waiting(what); }

private:
    SetupReport& to_;
};

// Reports a failure and returns it.
SetupResult Failure(SetupReport& report, DWORD error, std::wstring failure, std::string_view meaning = {})
{
    report.Failed(failure, error);
    return {error, std::move(failure), meaning};
}

SetupResult SpoolerNotAnswering(SetupReport& report, DWORD error)
{
    return Failure(report, error,
                   "The Print Spooler service does not answer, so nothing was started. Start the Print Spooler "
                   "service (and set it to start automatically), then try again."_w);
}

// Waits for the spooler to answer. When it does not, the service control
// manager is asked: a Print Spooler service that is starting, or set to
// start automatically and not running yet (Windows still starting), is
// waited for up to 60 seconds (then, unattended, ERROR_INSTALL_ALREADY_RUNNING,
// "try again later"); a disabled one ends with ERROR_SERVICE_DISABLED;
// otherwise the spooler's error (RPC_S_SERVER_UNAVAILABLE for a stopped
// service).
SetupResult WaitForSpooler(bool unattended, WaitFunction wait, SetupReport& report)
{
    report.Waiting(L"the spooler");
    DWORD error = SpoolerError();
    if (error == ERROR_SUCCESS) {
        return {};
    }
    const ServiceState service = QueryServiceState(L"Spooler");
    if (service.known && service.startType == SERVICE_DISABLED) {
        report.Found(L"the Print Spooler service is disabled");
        return Failure(report, ERROR_SERVICE_DISABLED,
                       "The Print Spooler service is disabled, so nothing was started. Set it to start "
                       "automatically, start it, then try again."_w);
    }
    const bool starting =
        service.known && (service.currentState == SERVICE_START_PENDING ||
                          (service.startType == SERVICE_AUTO_START && service.currentState != SERVICE_RUNNING));
    if (!starting) {
        report.Found("the Print Spooler service is not running"_w);
        return SpoolerNotAnswering(report, error);
    }
    report.Found("the Print Spooler service is starting; waiting for it, up to 60 s"_w);
    const ULONGLONG start = ::GetTickCount64();
    while (::GetTickCount64() - start < kSpoolerStartLimit) {
        wait(nullptr, kPollInterval);
        if (error = SpoolerError(); error == ERROR_SUCCESS) {
            report.Found("the Print Spooler service answered after "_w + Seconds(::GetTickCount64() - start));
            return {};
        }
    }
    report.Found("the Print Spooler service did not answer within 60 s"_w);
    SetupResult result = SpoolerNotAnswering(report, error);
    if (unattended) {  // Windows still starting: a deployment tries again later
        result.error = ERROR_INSTALL_ALREADY_RUNNING;
        result.meaning = "try again later: the Print Spooler service was still starting after 60 seconds";
    }
    return result;
}

// The information file beside the program: 0, or ERROR_FILE_NOT_FOUND and
// its path.
SetupResult FindInformationFile(SetupReport& report)
{
    const std::wstring informationFile = InformationFilePath(ApplicationFolder());
    const DWORD attributes = ::GetFileAttributesW(informationFile.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Failure(
            report, ERROR_FILE_NOT_FOUND,
            "The driver information file is not beside the program, so nothing was started:\n\n"_w + informationFile,
            "the driver information file is not beside the program; nothing was started or stored");
    }
    return {};
}

// The spooler answers, and the port is one the dialog offers or one of its
// own serial ports.
SetupResult SpoolerAndPort(std::wstring_view port, bool unattended, WaitFunction wait, SetupReport& report)
{
    if (SetupResult spooler = WaitForSpooler(unattended, wait, report); spooler.error != ERROR_SUCCESS) {
        return spooler;
    }
    std::vector<std::wstring> ports;
    SpoolerPorts(&ports);
    if (std::wstring problem = PortNotOfThisPc(port, ports); !problem.empty()) {
        return Failure(report, ERROR_INVALID_PARAMETER, std::move(problem));
    }
    return {};
}

// What must hold before an install starts or changes anything.
SetupResult PrepareInstall(std::wstring_view port, bool unattended, WaitFunction wait, SetupReport& report)
{
    if (SetupResult ready = SpoolerAndPort(port, unattended, wait, report); ready.error != ERROR_SUCCESS) {
        return ready;
    }
    if (SetupResult missing = FindInformationFile(report); missing.error != ERROR_SUCCESS) {
        return missing;
    }
    bool protectedPrint = false;
    if (const HRESULT asked = AskProtectedPrintMode(&protectedPrint); FAILED(asked)) {
        report.Found("Windows protected print mode counts as off: its class could not be activated ("_w +
                     HresultText(asked) + L")");
    }
    if (protectedPrint) {
        report.Found(L"Windows protected print mode is on");
        return Failure(report, ERROR_DRIVER_BLOCKED,
                       "Windows protected print mode is on: it takes only Microsoft's own printer drivers, so the "
                       "printer's driver cannot be installed, and nothing was started. An administrator can turn "
                       "the mode off (Settings, Bluetooth & devices, Printers & scanners), then try again."_w);
    }
    return {};
}

// Starts a driver command line with the native rundll32.exe, minimised.
SetupResult StartDriverCommand(std::wstring_view commandLine, UniqueKernelHandle* process, SetupReport& report)
{
    const std::wstring application = SystemRundll32Path();
    // Not the program's folder, often a download folder: rundll32 would look
    // there for DLLs it does not find in the system folder.
    const DWORD error = Launch(application, commandLine, SW_SHOWMINIMIZED, SystemFolder(), process);
    if (error != ERROR_SUCCESS) {
        return Failure(
            report, error, "The printer set-up could not be started.\n\n"_w + application,
            error == ERROR_FILE_NOT_FOUND ? "the system's rundll32.exe is missing; nothing was started" : "");
    }
    report.Done(L"started: " + std::wstring(commandLine));
    return {};
}

// Waits for a started set-up; one still running at the limit is ended and
// reported with ERROR_TIMEOUT.
SetupResult WaitForDriverCommand(HANDLE process, WaitFunction wait, SetupReport& report)
{
    report.Waiting(L"the printer set-up");
    const DWORD waited = wait(process, kSetupLimitMilliseconds);
    report.Waiting(L"the spooler");
    if (waited == WAIT_OBJECT_0) {
        report.Done(L"printer set-up ended");
        return {};
    }
    const DWORD error = waited == WAIT_TIMEOUT ? static_cast<DWORD>(ERROR_TIMEOUT) : ::GetLastError();
    // Left running, it could still hold the driver store when the set-up is tried again.
    ::TerminateProcess(process, ERROR_TIMEOUT);
    ::WaitForSingleObject(process, 5000);
    if (error == ERROR_TIMEOUT) {
        report.Found("printer set-up still running after 10 minutes; stopped"_w);
    }
    return Failure(report, error, "The printer set-up did not end in time and was stopped."_w);
}

// Starts a driver command line and waits for it.
SetupResult RunDriverCommand(std::wstring_view commandLine, WaitFunction wait, SetupReport& report)
{
    UniqueKernelHandle process;
    if (SetupResult started = StartDriverCommand(commandLine, &process, report); started.error != ERROR_SUCCESS) {
        return started;
    }
    return WaitForDriverCommand(process.get(), wait, report);
}

// Sets a printer's port at one level of its information (5, or 2 where the
// spooler takes no 5): 0, or the error.
template <typename Info>
DWORD SetPort(HANDLE printer, DWORD level, std::wstring& port)
{
    std::vector<BYTE> buffer = PrinterInfo(printer, level);
    if (buffer.empty()) {
        return ::GetLastError();
    }
    auto* info = reinterpret_cast<Info*>(buffer.data());
    info->pPortName = port.data();
    if constexpr (requires { info->pSecurityDescriptor; }) {
        info->pSecurityDescriptor = nullptr;  // left as it is
    }
    return Winspool().SetPrinterW(printer, level, buffer.data(), 0) ? ERROR_SUCCESS : ::GetLastError();
}

// Puts the model's printer on another port; nothing else of it changes.
SetupResult MovePrinter(const std::wstring& from, std::wstring to, SetupReport& report)
{
    UniquePrinter printer;
    DWORD error = OpenModelsPrinter(PRINTER_ALL_ACCESS, &printer);
    if (error == ERROR_SUCCESS) {
        error = SetPort<PRINTER_INFO_5W>(printer.get(), 5, to);
    }
    if (error == ERROR_INVALID_LEVEL) {  // a spooler without level 5 (Wine's): the whole information, as read
        error = SetPort<PRINTER_INFO_2W>(printer.get(), 2, to);
    }
    if (error != ERROR_SUCCESS) {
        return Failure(report, error, L"The printer could not be moved to " + to + L".");
    }
    report.Done(L"printer moved from " + from + L" to " + to);
    return {};
}

// Whether the spooler shows the model's printer on the port; if not, what it
// shows instead.
SetupResult CheckInstalledOn(const std::wstring& port, SetupReport& report)
{
    const PrinterState printer = ModelsPrinter();
    if (IsInstalledOn(printer, port)) {
        report.Found(L"spooler shows the printer on " + port);
        return {};
    }
    std::wstring found = L"the printer on " + printer.port + L", not on " + port;
    if (!printer.exists) {
        found = L"no printer \"" + std::wstring(kDriverModelName) + L"\"";
    } else if (printer.pendingDeletion) {
        found = L"the printer being deleted";
    } else if (!printer.modelsDriver) {
        found = "the printer with another driver"_w;
    }
    return Failure(report, ERROR_INSTALL_FAILURE,
                   "The printer set-up did not work: the spooler shows "_w + found + L".");
}

// Stores the port's Ports value, and tells what came of it.
SetupResult StorePortSettings(const std::wstring& port, const std::wstring& value, SetupReport& report)
{
    const StoredPortSettings stored = WritePortSettings(port, value);
    if (stored.kept) {
        report.Found(L"kept the settings " + port + L" has (none asked for)");
        return {};
    }
    if (stored.status != ERROR_SUCCESS) {
        return Failure(
            report, static_cast<DWORD>(stored.status),
            "The printer set-up was started, but the settings were not stored.\n\n"_w + port + L" = " + stored.value);
    }
    report.Done(L"stored " + port + L" = " + stored.value);
    return {};
}

// The unattended install's middle: nothing for a printer installed as asked;
// the model's printer, installed on another port, is moved; otherwise the
// set-up is run and waited for. Then the spooler is asked.
SetupResult SetUpAndCheck(const InstallOrder& order, WaitFunction wait, SetupReport& report)
{
    const PrinterState printer = ModelsPrinter();
    if (IsInstalledOn(printer, order.port)) {
        report.Found(L"already installed on " + order.port + L", nothing to start");
        return {};
    }
    SetupResult result;
    if (IsInstalledOn(printer, printer.port)) {
        result = MovePrinter(printer.port, order.port, report);
    } else {
        result = RunDriverCommand(InstallCommandLine(ApplicationFolder(), order.port) + (order.quiet ? L" /q" : L""),
                                  wait, report);
    }
    return result.error == ERROR_SUCCESS ? CheckInstalledOn(order.port, report) : result;
}

// Deletes the model's printer, if there is one, once it is resumed and its
// queue emptied (a paused printer with jobs cannot be deleted); the jobs
// still being printed after that keep it, marked for deletion.
SetupResult DeleteModelsPrinter(SetupReport& report)
{
    UniquePrinter printer;
    DWORD error = OpenModelsPrinter(PRINTER_ALL_ACCESS, &printer);
    if (error == ERROR_INVALID_PRINTER_NAME) {
        report.Found(L"no printer to delete");
        return {};
    }
    if (error == ERROR_SUCCESS) {
        Winspool().SetPrinterW(printer.get(), 0, nullptr, PRINTER_CONTROL_RESUME);
        Winspool().SetPrinterW(printer.get(), 0, nullptr, PRINTER_CONTROL_PURGE);
        const std::vector<BYTE> info = PrinterInfo(printer.get(), 2);
        const DWORD jobs = info.empty() ? 0 : reinterpret_cast<const PRINTER_INFO_2W*>(info.data())->cJobs;
        error = Winspool().DeletePrinter(printer.get()) ? ERROR_SUCCESS : ::GetLastError();
        if (error == ERROR_SUCCESS && jobs > 0) {
            report.Found(L"printer marked for deletion: " + DecimalText(jobs) +
                         " job(s) still printing; Windows deletes it when they end"_w);
        } else if (error == ERROR_SUCCESS) {
            report.Done(L"printer deleted");
        }
    }
    return error == ERROR_SUCCESS ? SetupResult{}
                                  : Failure(report, error, ModelsPrinterName() + L" could not be deleted.");
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

// The printer's deletion, then the removal line, run again while a printer
// being deleted holds the driver.
SetupResult RemoveDriver(const RemovalOrder& order, WaitFunction wait, SetupReport& report)
{
    if (SetupResult deleted = DeleteModelsPrinter(report); deleted.error != ERROR_SUCCESS) {
        return deleted;
    }
    const ULONGLONG deletedAt = ::GetTickCount64();
    report.Waiting(L"the printer's deletion");
    if (!PrinterGone(deletedAt + kPrinterGoneLimit, wait)) {
        return Failure(report, ERROR_PRINTER_DRIVER_IN_USE,
                       ModelsPrinterName() +
                           " is still there 30 seconds after it was deleted (the spooler may still be printing to "
                           "it), so its driver was not removed."_w);
    }
    std::wstring line = RemovalCommandLine() + (order.quiet ? L" /q" : L"");
    ForwardWaiting reruns(report);  // the runs after the first are told in one line at the end
    SetupReport* told = &report;
    for (DWORD runs = 1;; ++runs) {
        if (SetupResult run = RunDriverCommand(line, wait, *told); run.error != ERROR_SUCCESS) {
            if (told != &report) {
                report.Failed(run.failure, run.error);
            }
            return run;
        }
        const bool held = ModelsDriver().native && PrintersUsingModelsDriver().empty();
        const std::wstring rerunTime = Seconds(::GetTickCount64() - deletedAt);
        if (!held && runs > 1) {
            report.Found(L"the removal ran " + DecimalText(runs) + L" times in " + rerunTime + L"; the driver went");
        }
        if (!held) {
            return {};
        }
        if (::GetTickCount64() >= deletedAt + kPrinterGoneLimit) {
            report.Found(L"the removal ran " + DecimalText(runs) + L" times in " + rerunTime +
                         L"; the driver is still held");
            return Failure(report, ERROR_PRINTER_DRIVER_IN_USE,
                           ModelsPrinterName() +
                               " is still being deleted (a job is still printing to it, or a program holds it "
                               "open), so its driver could not be removed. Try again once the printer is gone."_w);
        }
        if (runs == 1) {
            report.Found(
                "the driver is still held by the printer being deleted; the removal runs again until it "
                "goes, up to 30 s after the deletion"_w);
        }
        told = &reruns;
        if (!line.ends_with(L" /q")) {
            line += L" /q";  // the set-up's own messages once are enough
        }
        wait(nullptr, kRemovalRetryInterval);
    }
}

// Whether the removal took the driver from Windows' own environment; others
// are left (the 32-bit driver a print server keeps for its clients).
SetupResult CheckDriverRemoved(SetupReport& report)
{
    const DriverState driver = ModelsDriver();
    for (const std::wstring& environment : driver.otherEnvironments) {
        report.Found(L"driver left for " + environment + L" (another environment, not removed)");
    }
    if (!driver.native) {
        report.Found(L"spooler shows the driver removed");
        return {};
    }
    std::wstring users;
    for (const std::wstring& name : PrintersUsingModelsDriver()) {
        users += (users.empty() ? L"\"" : L", \"") + name + L'"';
    }
    const std::wstring found = L"the driver still there" + (users.empty() ? L"" : L", used by " + users);
    return Failure(report, ERROR_INSTALL_FAILURE,
                   "The printer set-up did not work: the spooler shows "_w + found + L".");
}

// Removes a driver package (the driver store's information file) once no
// driver uses it; one still in use is kept. Its failure is told, and is not
// the removal's.
void RemoveDriverPackage(const std::wstring& informationFile, SetupReport& report)
{
    if (informationFile.empty() || Winspool().DeletePrinterDriverPackageW == nullptr) {
        return;
    }
    const HRESULT removed =
        Winspool().DeletePrinterDriverPackageW(nullptr, informationFile.c_str(), NativeDriverEnvironment());
    if (SUCCEEDED(removed)) {
        report.Done(L"driver package removed: " + informationFile);
    } else if (removed == HRESULT_FROM_WIN32(kErrorPrinterDriverPackageInUse)) {
        report.Found("driver package kept, another driver uses it: "_w + informationFile);
    } else {
        report.Failed("The driver package could not be removed: "_w + informationFile,
                      static_cast<DWORD>(HRESULT_CODE(removed)));
    }
}

// What the installer package needs remembered, or forgotten.
void RememberFor(const InstallOrder& order, SetupReport& report)
{
    const std::wstring step = L"remembered " + order.port + (order.settings.empty() ? L"" : L" " + order.settings) +
                              L" for the installer package";
    if (const auto status = static_cast<DWORD>(RememberInstall(order.port, order.settings)); status == ERROR_SUCCESS) {
        report.Done(step);
    } else {
        report.Failed(step, status);
    }
}
void Forget(const RemovalOrder& order, SetupReport& report)
{
    if (order.keepRemembered) {
        report.Found("kept what is remembered for the installer package (/keepremembered)"_w);
    } else if (const auto status = static_cast<DWORD>(ForgetInstall()); status == ERROR_SUCCESS) {
        report.Done(L"forgot the remembered port");
    } else {
        report.Failed(L"forgot the remembered port", status);
    }
}

}  // namespace

SetupResult InstallPrinter(const InstallOrder& order, WaitFunction wait, SetupReport& report)
{
    if (SetupResult ready = PrepareInstall(order.port, order.unattended, wait, report); ready.error != ERROR_SUCCESS) {
        return ready;
    }
    SetupResult result;
    if (order.unattended) {
        result = SetUpAndCheck(order, wait, report);
    } else {
        result = StartDriverCommand(InstallCommandLine(ApplicationFolder(), order.port), nullptr, report);
    }
    if (result.error == ERROR_SUCCESS && order.port.starts_with(L"COM")) {
        report.Waiting(L"the registry");
        result = StorePortSettings(order.port, order.settings, report);
        result.error = order.unattended && result.error != ERROR_SUCCESS ? ERROR_INSTALL_FAILURE : result.error;
    }
    if (result.error == ERROR_SUCCESS && order.unattended) {
        RememberFor(order, report);  // for the installer package's repairs and upgrades
    }
    return result;
}

SetupResult RemovePrinter(const RemovalOrder& order, WaitFunction wait, SetupReport& report)
{
    if (order.keepPrinter) {
        report.Done("printer, driver and settings kept (/keepprinter)"_w);
        Forget(order, report);
        return {};
    }
    if (SetupResult spooler = WaitForSpooler(order.unattended, wait, report); spooler.error != ERROR_SUCCESS) {
        return spooler;
    }
    // Read while the driver is there: it names its package.
    const std::wstring package = order.unattended ? ModelsDriverPackage() : std::wstring();
    SetupResult result = RemoveDriver(order, wait, report);
    if (result.error == ERROR_PRINTER_DRIVER_IN_USE && order.unattended) {
        // The printer is still being deleted: a deployment tries again later.
        result.error = ERROR_INSTALL_ALREADY_RUNNING;
        result.meaning = "try again later: the printer was still being deleted 30 seconds after its deletion";
    }
    if (result.error == ERROR_SUCCESS && order.unattended) {
        result = CheckDriverRemoved(report);
    }
    if (result.error == ERROR_SUCCESS && order.unattended) {
        RemoveDriverPackage(package, report);  // a package left is told, not a failure
        Forget(order, report);
    }
    return result;
}

SetupResult CheckPrinter(const std::wstring& port, const std::wstring& settings, WaitFunction wait, SetupReport& report)
{
    if (SetupResult ready = SpoolerAndPort(port, true, wait, report); ready.error != ERROR_SUCCESS) {
        return ready;
    }
    const PrinterState printer = ModelsPrinter();
    if (!IsInstalledOn(printer, printer.port)) {
        report.Found(L"check: the printer is not installed");
        return {ERROR_UNKNOWN_PRODUCT, "The printer is not installed."_w, {}};
    }
    if (!IsInstalledOn(printer, port)) {
        report.Found(L"check: the printer is on " + printer.port + L", not on " + port);
        return {ERROR_UNKNOWN_PORT, L"The printer is installed on " + printer.port + L", not on " + port + L".", {}};
    }
    std::wstring stored;
    if (!settings.empty()) {
        report.Waiting(L"the registry");
        ReadPortSettings(port, &stored);
    }
    if (stored != settings) {
        report.Found(L"check: the printer is on " + port + L", which has the settings " +
                     (stored.empty() ? L"none" : stored) + L", not " + settings);
        return {ERROR_BAD_CONFIGURATION, L"The printer is installed on " + port + L", with other settings.", {}};
    }
    report.Found(L"check: installed on " + port + (settings.empty() ? L"" : L" with " + settings));
    return {};
}

}  // namespace portsetup
