#include "unattended/unattended.hpp"

#include <windows.h>

#include <algorithm>
#include <string>

#include "driver/command_lines.hpp"
#include "driver/driver_setup.hpp"
#include "platform/error_text.hpp"
#include "platform/log_file.hpp"
#include "platform/program_title.hpp"
#include "platform/system_paths.hpp"

namespace portsetup {

namespace {

constexpr DWORD kSetupTimeoutMilliseconds = 10 * 60 * 1000;

class Unattended {
public:
    explicit Unattended(const SetupRequest& request) : request_(request) {}

    int Run()
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
        const std::wstring quietOption = request_.quiet ? L" /q" : L"";
        UniqueKernelHandle process;
        const bool install = request_.action == SetupAction::Install;
        SetupResult result =
            install ? InstallDriver(request_.port, quietOption, &process) : RemoveDriver(quietOption, &process);
        const std::wstring started =
            install ? L"started: " + InstallCommandLine(ApplicationFolder(), request_.port) + quietOption
                    : L"printer deleted if there was one, removal started";
        Log(result.error == ERROR_SUCCESS ? started : result.failure, result.error);
        if (!install && result.error == ERROR_TIMEOUT) {
            result.error = ERROR_INSTALL_FAILURE;  // the printer is still there: its driver stays
        }
        if (result.error == ERROR_SUCCESS) {
            result = WaitForDriverCommand(process.get(), kSetupTimeoutMilliseconds);
            Log(result.error == ERROR_TIMEOUT ? L"printer set-up still running after 10 minutes, stopped"
                                              : L"printer set-up ended",
                result.error);
        }
        if (result.error == ERROR_SUCCESS) {
            result = install ? Verified(PrinterIsInstalledOn(request_.port), L"printer on " + request_.port)
                             : VerifiedRemoval();
        }
        if (result.error == ERROR_SUCCESS && install && !request_.settings.empty()) {
            const SetupResult stored = StorePortSettings(request_.port, request_.settings);
            Log(L"stored " + request_.port + L" = " + request_.settings, stored.error);
            if (stored.error != ERROR_SUCCESS) {
                Tell(FailureReport(stored), MB_ICONERROR);
                return ERROR_INSTALL_FAILURE;
            }
        }
        if (result.error != ERROR_SUCCESS) {
            Tell(FailureReport(result), MB_ICONERROR);
        }
        return static_cast<int>(result.error);
    }

private:
    SetupResult VerifiedRemoval()
    {
        const DriverState driver = ModelsDriver();
        // The removal line removes the driver of Windows' own environment only.
        for (const std::wstring& environment : driver.otherEnvironments) {
            LogLine(L"driver left for " + environment + L" (another environment, not removed)");
        }
        return Verified(!driver.native, L"driver removed");
    }

    SetupResult Verified(bool shown, const std::wstring& what)
    {
        Log(L"spooler shows " + what, shown ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE);
        if (shown) {
            return {};
        }
        return {ERROR_INSTALL_FAILURE, L"The printer set-up did not work: no " + what + L"."};
    }

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
            ::MessageBoxW(nullptr, text.c_str(), kProgramTitle, MB_OK | icon);
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
