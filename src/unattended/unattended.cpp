#include "unattended/unattended.hpp"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "driver/command_lines.hpp"
#include "driver/driver_setup.hpp"
#include "driver/spooler.hpp"
#include "platform/error_text.hpp"
#include "platform/log_file.hpp"
#include "platform/program_title.hpp"
#include "platform/win32_handles.hpp"
#include "registry/mod_register.hpp"
#include "registry/remembered_install.hpp"
#include "settings/setting_lists.hpp"
#include "unattended/exit_codes.hpp"

namespace portsetup {

namespace {

// Above the set-up's own limit: for a call that never returns (a spooler
// hung by a bad driver), which would hold a deployment, and an installer's
// lock, for ever.
constexpr DWORD kRunLimit = 15 * 60 * 1000;

class Unattended {
public:
    explicit Unattended(const SetupRequest& request) : request_(request), log_(request.logFile) {}

    int Run()
    {
        LogLine(L"PortSetup " PORTSETUP_VERSION_TEXT L", " + std::wstring(sizeof(void*) == 8 ? L"64" : L"32") +
                L"-bit, arguments: " + request_.arguments);
        const UniqueKernelHandle finished(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        finished_ = finished.get();
        const UniqueKernelHandle deadline(::CreateThread(nullptr, 0, &Unattended::EndAtDeadline, this, 0, nullptr));
        const DWORD code = CarryOut();
        LogExitCode(code);
        ::SetEvent(finished_);
        ::WaitForSingleObject(deadline.get(), INFINITE);
        if (const std::wstring& refused = log_.RefusedBecause(); !refused.empty()) {
            Tell(message_.empty() ? refused : message_ + L"\n\n" + refused,
                 message_.empty() ? static_cast<UINT>(MB_ICONWARNING) : messageIcon_);
        }
        if (!request_.quiet && !message_.empty()) {
            ::MessageBoxW(nullptr, message_.c_str(), kCommandLineTitle, MB_OK | messageIcon_);
        }
        return static_cast<int>(code);
    }

private:
    // Ends the process at the run's limit, whatever call it waits in, with
    // a log that says what it was waiting for.
    static DWORD WINAPI EndAtDeadline(void* parameter)
    {
        auto* self = static_cast<Unattended*>(parameter);
        // Measured on the tick count, a second at a time.
        const ULONGLONG start = ::GetTickCount64();
        while (::GetTickCount64() - start < kRunLimit) {
            if (::WaitForSingleObject(self->finished_, 1000) != WAIT_TIMEOUT) {
                return 0;
            }
        }
        self->Log(L"still waiting for " + std::wstring(self->waitingFor_.load()) + L" after 15 minutes, stopped",
                  ERROR_TIMEOUT);
        self->LogExitCode(ERROR_TIMEOUT);
        ::TerminateProcess(::GetCurrentProcess(), ERROR_TIMEOUT);
        return 0;
    }

    DWORD CarryOut()
    {
        if (!request_.problem.empty()) {
            Log(L"command line refused: " + request_.problem, ERROR_INVALID_PARAMETER);
            Tell(request_.problem + L"\n\n" + std::wstring(kUsage), MB_ICONERROR);
            return ERROR_INVALID_PARAMETER;
        }
        if (request_.action == SetupAction::ShowUsage) {
            Tell(std::wstring(kUsage), MB_ICONINFORMATION);
            return ERROR_SUCCESS;
        }
        SetupResult result = request_.action == SetupAction::Install ? Install() : Remove();
        if (result.error == ERROR_SUCCESS && request_.action == SetupAction::Install &&
            request_.port.starts_with(L"COM")) {
            waitingFor_ = L"the registry";
            if (result = StoreSettings(); result.error != ERROR_SUCCESS) {
                Tell(FailureReport(result), MB_ICONERROR);
                return ERROR_INSTALL_FAILURE;
            }
        }
        if (result.error != ERROR_SUCCESS) {
            Tell(FailureReport(result), MB_ICONERROR);
            return result.error;
        }
        // For the installer package's repairs and upgrades; without it they
        // would fall back to where the printer is.
        if (request_.action == SetupAction::Install) {
            Log(L"remembered " + request_.port + (request_.settings.empty() ? L"" : L" " + request_.settings) +
                    L" for the installer package",
                static_cast<DWORD>(RememberInstall(request_.port, request_.settings)));
        } else if (request_.keepRemembered) {
            LogLine(L"kept what is remembered for the installer package (/keepremembered)");
        } else {
            Log(L"forgot the remembered port", static_cast<DWORD>(ForgetInstall()));
        }
        return ERROR_SUCCESS;
    }

    // The settings asked for; without /settings, the port's own, or
    // 9600,n,8,1 where it has none.
    SetupResult StoreSettings()
    {
        std::wstring value = request_.settings;
        if (value.empty()) {
            std::vector<std::wstring> names;
            if (Mod_Register::GetValueNames(HKEY_LOCAL_MACHINE, kPortsKeyPath, &names) == ERROR_SUCCESS &&
                std::find(names.begin(), names.end(), request_.port) != names.end()) {
                LogLine(L"kept the settings " + request_.port + L" has (no /settings)");
                return {};
            }
            value = DefaultPortSettingsValue();
        }
        SetupResult stored = StorePortSettings(request_.port, value);
        Log(L"stored " + request_.port + L" = " + value, stored.error);
        return stored;
    }

    // Nothing for a printer installed as asked; the model's printer,
    // installed on another port, is moved; otherwise the set-up is run.
    SetupResult Install()
    {
        waitingFor_ = L"the spooler";
        SetupResult ready = PrepareInstall(request_.port, &WaitBlocking);
        LogStep(ready);
        if (ready.error != ERROR_SUCCESS) {
            return ready;
        }
        const PrinterState printer = ModelsPrinter();
        if (IsInstalledOn(printer, request_.port)) {
            Log(L"already installed on " + request_.port, ERROR_SUCCESS);
            return {};
        }
        if (IsInstalledOn(printer, printer.port)) {
            const SetupResult moved = MovePrinter(request_.port);
            LogStep(moved);
            return moved.error == ERROR_SUCCESS ? FoundOn(request_.port) : moved;
        }
        UniqueKernelHandle process;
        SetupResult result = InstallDriver(request_.port, PrintUiQuietOption(), &process);
        return StartedAndWaitedFor(result, process) ? FoundOn(request_.port) : result;
    }

    SetupResult Remove()
    {
        if (request_.keepPrinter) {
            Log(L"printer, driver and settings kept (/keepprinter)", ERROR_SUCCESS);
            return {};
        }
        waitingFor_ = L"the spooler";
        if (SetupResult ready = WaitForSpooler(&WaitBlocking); ready.error != ERROR_SUCCESS) {
            LogStep(ready);
            return ready;
        }
        // Read while the driver is there: it names its package.
        const std::wstring package = ModelsDriverPackage();
        waitingFor_ = L"the printer's deletion and the printer set-up";
        SetupResult result = RemoveDriver(PrintUiQuietOption(), kSetupLimitMilliseconds, &WaitBlocking);
        LogStep(result);
        if (result.error == ERROR_PRINTER_DRIVER_IN_USE) {
            result.error = ERROR_INSTALL_FAILURE;  // the printer is still there: its driver stays
        }
        if (result.error != ERROR_SUCCESS) {
            return result;
        }
        waitingFor_ = L"the spooler";
        const DriverState driver = ModelsDriver();
        // The removal line removes the driver of Windows' own environment only.
        for (const std::wstring& environment : driver.otherEnvironments) {
            LogLine(L"driver left for " + environment + L" (another environment, not removed)");
        }
        if (driver.native) {
            std::wstring users;
            for (const std::wstring& name : PrintersUsingModelsDriver()) {
                users += (users.empty() ? L"\"" : L", \"") + name + L'"';
            }
            const std::wstring found = L"the driver still there" + (users.empty() ? L"" : L", used by " + users);
            Log(L"spooler shows " + found, ERROR_INSTALL_FAILURE);
            return {ERROR_INSTALL_FAILURE, L"The printer set-up did not work: the spooler shows " + found + L"."};
        }
        Log(L"spooler shows the driver removed", ERROR_SUCCESS);
        LogStep(RemoveDriverPackage(package));  // a package left is logged, not a failure
        return {};
    }

    // Logs the step that starts the set-up, then waits for the set-up, up to
    // ten minutes; true when both worked.
    bool StartedAndWaitedFor(SetupResult& result, const UniqueKernelHandle& process)
    {
        LogStep(result);
        if (result.error != ERROR_SUCCESS) {
            return false;
        }
        waitingFor_ = L"the printer set-up";
        result = WaitForDriverCommand(process.get(), kSetupLimitMilliseconds, &WaitBlocking);
        Log(result.error == ERROR_TIMEOUT ? L"printer set-up still running after 10 minutes, stopped"
                                          : L"printer set-up ended",
            result.error);
        return result.error == ERROR_SUCCESS;
    }

    // Whether the spooler shows the model's printer on the port; if not,
    // what it shows instead.
    SetupResult FoundOn(const std::wstring& port)
    {
        waitingFor_ = L"the spooler";
        const PrinterState printer = ModelsPrinter();
        std::wstring found = L"the printer on " + port;
        const bool installed = IsInstalledOn(printer, port);
        if (!printer.exists) {
            found = L"no printer \"" + std::wstring(kDriverModelName) + L"\"";
        } else if (printer.pendingDeletion) {
            found = L"the printer being deleted";
        } else if (!printer.modelsDriver) {
            found = L"the printer with another driver";
        } else if (!installed) {
            found = L"the printer on " + printer.port + L", not on " + port;
        }
        Log(L"spooler shows " + found, installed ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE);
        if (installed) {
            return {};
        }
        return {ERROR_INSTALL_FAILURE, L"The printer set-up did not work: the spooler shows " + found + L"."};
    }

    // PrintUIEntry's own option for no window, under /quiet.
    [[nodiscard]] std::wstring PrintUiQuietOption() const { return request_.quiet ? L" /q" : L""; }

    void Log(const std::wstring& step, DWORD error) const
    {
        std::wstring line = step;
        std::replace(line.begin(), line.end(), L'\n', L' ');  // the breaks of the program's own messages
        line += error == ERROR_SUCCESS ? L" - done"
                                       : L" - failed, error " + DecimalText(error) + L": " + SystemErrorText(error);
        LogLine(line);
    }

    // What a step did, a line each, then what it could not do.
    void LogStep(const SetupResult& result) const
    {
        for (std::size_t start = 0; start < result.done.size();) {
            const std::size_t end = std::min(result.done.find(L'\n', start), result.done.size());
            Log(result.done.substr(start, end - start), ERROR_SUCCESS);
            start = end + 1;
        }
        if (result.error != ERROR_SUCCESS) {
            Log(result.failure, result.error);
        }
    }

    // The run's last line.
    void LogExitCode(DWORD code) const
    {
        const std::wstring_view meaning = ExitCodeMeaning(code);
        LogLine(L"exit code " + DecimalText(code) + L": " +
                (meaning.empty() ? SystemErrorText(code) : std::wstring(meaning)));
    }

    // One line, whatever the text holds: its control characters are escaped.
    void LogLine(const std::wstring& text) const { log_.Append(text); }

    // Keeps a message for the end of the run, when one may be shown.
    void Tell(const std::wstring& text, UINT icon)
    {
        message_ = text;
        messageIcon_ = icon;
    }

    const SetupRequest& request_;
    const LogFile log_;
    HANDLE finished_ = nullptr;
    std::atomic<const wchar_t*> waitingFor_{L"the start"};
    std::wstring message_;
    UINT messageIcon_ = MB_ICONINFORMATION;
};

}  // namespace

int RunUnattended(const SetupRequest& request)
{
    return Unattended(request).Run();
}

}  // namespace portsetup
