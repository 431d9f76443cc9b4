#include "unattended/unattended.hpp"

#include <windows.h>

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
        if (!request_.problem.empty()) {
            Log(L"command line refused: " + request_.problem, ERROR_INVALID_PARAMETER);
            Tell(request_.problem + L"\n\n" + std::wstring(kUsage), MB_ICONERROR);
            return ERROR_INVALID_PARAMETER;
        }
        if (request_.action == SetupAction::ShowUsage) {
            Tell(std::wstring(kUsage), MB_ICONINFORMATION);
            return ERROR_SUCCESS;
        }
        const std::wstring quietOption = request_.quiet ? L" /q" : L"";
        UniqueKernelHandle process;
        const bool install = request_.action == SetupAction::Install;
        const std::wstring line = InstallCommandLine(ApplicationFolder(), request_.port) + quietOption;
        SetupResult result = install ? StartDriverCommand(line, &process) : RemoveDriver(quietOption, &process);
        Log(install ? L"started: " + line : L"printer deleted if there was one, removal started", result.error);
        if (result.error == ERROR_SUCCESS) {
            result = WaitForDriverCommand(process.get(), kSetupTimeoutMilliseconds);
            Log(L"printer set-up ended", result.error);
        }
        if (result.error == ERROR_SUCCESS) {
            result = install ? Verified(PrinterIsOnPort(request_.port), L"printer on " + request_.port)
                             : Verified(!DriverIsInstalled(), L"driver removed");
        }
        if (result.error == ERROR_SUCCESS && install && !request_.settings.empty()) {
            const auto status = static_cast<DWORD>(StorePortSettings(request_.port, request_.settings));
            Log(L"stored " + request_.port + L" = " + request_.settings, status);
            if (status != ERROR_SUCCESS) {
                result = {ERROR_INSTALL_FAILURE, L"The settings of " + request_.port + L" could not be stored."};
            }
        }
        if (result.error != ERROR_SUCCESS) {
            Tell(FailureReport(result), MB_ICONERROR);
        }
        return static_cast<int>(result.error);
    }

private:
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
        AppendLogLine(request_.logFile, step + L" - " + result);
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
