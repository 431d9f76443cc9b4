#include "unattended/unattended.hpp"

#include <windows.h>

#include <algorithm>
#include <string>

#include "driver/command_lines.hpp"
#include "driver/driver_setup.hpp"
#include "driver/spooler.hpp"
#include "platform/error_text.hpp"
#include "platform/log_file.hpp"
#include "platform/program_title.hpp"
#include "unattended/exit_codes.hpp"

namespace portsetup {

namespace {

constexpr DWORD kSetupTimeoutMilliseconds = 10 * 60 * 1000;

class Unattended {
public:
    explicit Unattended(const SetupRequest& request) : request_(request) {}

    int Run()
    {
        LogLine(L"PortSetup " PORTSETUP_VERSION_TEXT L", " + std::wstring(sizeof(void*) == 8 ? L"64" : L"32") +
                L"-bit, arguments: " + request_.arguments);
        const DWORD code = CarryOut();
        const std::wstring_view meaning = ExitCodeMeaning(code);
        LogLine(L"exit code " + DecimalText(code) + L": " +
                (meaning.empty() ? SystemErrorText(code) : std::wstring(meaning)));
        return static_cast<int>(code);
    }

private:
    DWORD CarryOut()
    {
        std::wstring problem = request_.problem;
        if (problem.empty() && request_.action == SetupAction::Install) {
            problem = MissingPortProblem(request_.port);
        }
        if (!problem.empty()) {
            Log(L"command line refused: " + problem, ERROR_INVALID_PARAMETER);
            Tell(problem + L"\n\n" + std::wstring(kUsage), MB_ICONERROR);
            return ERROR_INVALID_PARAMETER;
        }
        if (request_.action == SetupAction::ShowUsage) {
            Tell(std::wstring(kUsage), MB_ICONINFORMATION);
            return ERROR_SUCCESS;
        }
        SetupResult result = request_.action == SetupAction::Install ? Install() : Remove();
        if (result.error == ERROR_SUCCESS && !request_.settings.empty()) {
            result = StorePortSettings(request_.port, request_.settings);
            Log(L"stored " + request_.port + L" = " + request_.settings, result.error);
            if (result.error != ERROR_SUCCESS) {
                Tell(FailureReport(result), MB_ICONERROR);
                return ERROR_INSTALL_FAILURE;
            }
        }
        if (result.error != ERROR_SUCCESS) {
            Tell(FailureReport(result), MB_ICONERROR);
        }
        return result.error;
    }

    // The model's printer, installed on another port, is moved; otherwise the
    // set-up is run.
    SetupResult Install()
    {
        const PrinterState printer = ModelsPrinter();
        if (IsInstalledOn(printer, printer.port) && !IsInstalledOn(printer, request_.port)) {
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
        UniqueKernelHandle process;
        SetupResult result = RemoveDriver(PrintUiQuietOption(), &process);
        if (result.error == ERROR_TIMEOUT) {
            result.error = ERROR_INSTALL_FAILURE;  // the printer is still there: its driver stays
        }
        if (!StartedAndWaitedFor(result, process)) {
            return result;
        }
        const DriverState driver = ModelsDriver();
        // The removal line removes the driver of Windows' own environment only.
        for (const std::wstring& environment : driver.otherEnvironments) {
            LogLine(L"driver left for " + environment + L" (another environment, not removed)");
        }
        if (!driver.native) {
            Log(L"spooler shows the driver removed", ERROR_SUCCESS);
            return {};
        }
        std::wstring users;
        for (const std::wstring& name : PrintersUsingModelsDriver()) {
            users += (users.empty() ? L"\"" : L", \"") + name + L'"';
        }
        const std::wstring found = L"the driver still there" + (users.empty() ? L"" : L", used by " + users);
        Log(L"spooler shows " + found, ERROR_INSTALL_FAILURE);
        return {ERROR_INSTALL_FAILURE, L"The printer set-up did not work: the spooler shows " + found + L"."};
    }

    // Logs the step that starts the set-up, then waits for the set-up, up to
    // ten minutes; true when both worked.
    bool StartedAndWaitedFor(SetupResult& result, const UniqueKernelHandle& process) const
    {
        LogStep(result);
        if (result.error != ERROR_SUCCESS) {
            return false;
        }
        result = WaitForDriverCommand(process.get(), kSetupTimeoutMilliseconds);
        Log(result.error == ERROR_TIMEOUT ? L"printer set-up still running after 10 minutes, stopped"
                                          : L"printer set-up ended",
            result.error);
        return result.error == ERROR_SUCCESS;
    }

    // Whether the spooler shows the model's printer on the port; if not,
    // what it shows instead.
    SetupResult FoundOn(const std::wstring& port) const
    {
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
        if (request_.logFile.empty()) {
            return;
        }
        std::wstring result = L"done";
        if (error != ERROR_SUCCESS) {
            result = L"failed, error " + DecimalText(error) + L": " + SystemErrorText(error);
        }
        LogLine(step + L" - " + result);
    }

    // What a step did, or what it could not do.
    void LogStep(const SetupResult& result) const
    {
        Log(result.error == ERROR_SUCCESS ? result.done : result.failure, result.error);
    }

    void LogLine(const std::wstring& text) const
    {
        if (!request_.logFile.empty()) {
            std::wstring line = text;
            std::replace(line.begin(), line.end(), L'\n', L' ');
            AppendLogLine(request_.logFile, line);
        }
    }

    void Tell(const std::wstring& text, UINT icon) const
    {
        if (!request_.quiet) {
            ::MessageBoxW(nullptr, text.c_str(), kCommandLineTitle, MB_OK | icon);
        }
    }

    const SetupRequest& request_;
};

}  // namespace

int RunUnattended(const SetupRequest& request)
{
    return Unattended(request).Run();
}

}  // namespace portsetup
