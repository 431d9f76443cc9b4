#include "unattended/unattended.hpp"

#include <windows.h>

#include <atomic>
#include <string>

#include "dialog/failure_report.hpp"
#include "driver/driver_setup.hpp"
#include "platform/error_text.hpp"
#include "platform/log_file.hpp"
#include "platform/win32_handles.hpp"
#include "unattended/exit_codes.hpp"

namespace portsetup {

namespace {

// The title of the messages of the command-line mode, which has no window.
constexpr const wchar_t* kCommandLineTitle = L"PortSetup";

// Above the set-up's own limit: for a call that never returns (a spooler
// hung by a bad driver), which would hold a deployment, and an installer's
// lock, for ever.
constexpr DWORD kRunLimit = 15 * 60 * 1000;
// How long the run's last lines may take at its limit before it ends anyway.
constexpr DWORD kLastLinesLimit = 30 * 1000;

// The log's wording: one line a step, as it happens, with its own time.
class LogReport final : public SetupReport {
public:
    explicit LogReport(const LogFile& log) : log_(log) {}

    void Done(std::wstring_view step) override { log_.Append(OneLine(step) + L" - done"); }
    void Found(std::wstring_view finding) override { log_.Append(OneLine(finding)); }
    void Failed(std::wstring_view step, DWORD error) override { log_.Append(FailedLine(step, error)); }
    void Waiting(const wchar_t* what) override { waitingFor_ = what; }

    [[nodiscard]] const wchar_t* WaitingFor() const { return waitingFor_.load(); }

    // The run's last line.
    void ExitCode(DWORD code, std::string_view meaning = {}) const { log_.Append(ExitLine(code, meaning)); }

    static std::wstring FailedLine(std::wstring_view step, DWORD error)
    {
        return OneLine(step) + L" - failed, error " + DecimalText(error) + L": " + SystemErrorText(error);
    }
    static std::wstring ExitLine(DWORD code, std::string_view meaning = {})
    {
        if (meaning.empty()) {
            meaning = ExitCodeMeaning(code);
        }
        return L"exit code " + DecimalText(code) + L": " + (meaning.empty() ? SystemErrorText(code) : Widened(meaning));
    }

private:
    // The breaks of the program's own messages, a run of them one space.
    static std::wstring OneLine(std::wstring_view text)
    {
        std::wstring line;
        for (const wchar_t c : text) {
            if (c != L'\n') {
                line += c;
            } else if (!line.empty() && line.back() != L' ') {
                line += L' ';
            }
        }
        return line;
    }

    const LogFile& log_;
    std::atomic<const wchar_t*> waitingFor_{L"the start"};
};

class Unattended {
public:
    explicit Unattended(const SetupRequest& request) : request_(request), log_(request.logFile), report_(log_) {}

    int Run()
    {
        log_.Append(L"PortSetup " PORTSETUP_VERSION_TEXT L", " + std::wstring(sizeof(void*) == 8 ? L"64" : L"32") +
                    L"-bit, arguments: " + request_.arguments);
        const UniqueKernelHandle finished(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        finished_ = finished.get();
        const UniqueKernelHandle deadline(::CreateThread(nullptr, 0, &Unattended::EndAtDeadline, this, 0, nullptr));
        const UniqueKernelHandle backstop(::CreateThread(nullptr, 0, &Unattended::EndAfterDeadline, this, 0, nullptr));
        const SetupResult result = CarryOut();
        report_.ExitCode(result.error, result.meaning);
        ::SetEvent(finished_);
        const HANDLE threads[] = {deadline.get(), backstop.get()};
        ::WaitForMultipleObjects(2, threads, TRUE, INFINITE);
        std::wstring message = result.error != ERROR_SUCCESS ? message_ : std::wstring();
        UINT icon = MB_ICONERROR;
        if (request_.action == SetupAction::ShowUsage) {
            message = UsageText();
            icon = MB_ICONINFORMATION;
        }
        if (const std::wstring& refused = log_.RefusedBecause(); !refused.empty() && message != refused) {
            message = message.empty() ? refused : message + L"\n\n" + refused;
        }
        if (!request_.quiet && !message.empty()) {
            ::MessageBoxW(nullptr, message.c_str(), kCommandLineTitle, MB_OK | icon);
        }
        return static_cast<int>(result.error);
    }

private:
    // Ends the process at the run's limit, whatever call it waits in, with
    // a log that says what it was waiting for. Nothing on the way keeps a
    // function-local static.
    static DWORD WINAPI EndAtDeadline(void* parameter)
    {
        auto* self = static_cast<Unattended*>(parameter);
        if (self->FinishedWithin(kRunLimit)) {
            return 0;
        }
        self->log_.Append(LogReport::FailedLine(
            L"still waiting for " + std::wstring(self->report_.WaitingFor()) + L" after 15 minutes, stopped",
            ERROR_TIMEOUT));
        self->log_.Append(LogReport::ExitLine(ERROR_TIMEOUT));
        ::TerminateProcess(::GetCurrentProcess(), ERROR_TIMEOUT);
        return 0;
    }

    // Ends the process a little after the run's limit, should the lines above
    // not be written by then: a write that does not return (the main
    // thread's may be stuck in the same file) cannot hold up the end.
    static DWORD WINAPI EndAfterDeadline(void* parameter)
    {
        if (!static_cast<Unattended*>(parameter)->FinishedWithin(kRunLimit + kLastLinesLimit)) {
            ::TerminateProcess(::GetCurrentProcess(), ERROR_TIMEOUT);
        }
        return 0;
    }

    // Whether the run finishes within the limit, measured on the tick count
    // a second at a time.
    [[nodiscard]] bool FinishedWithin(ULONGLONG limit) const
    {
        const ULONGLONG start = ::GetTickCount64();
        while (::GetTickCount64() - start < limit) {
            if (::WaitForSingleObject(finished_, 1000) != WAIT_TIMEOUT) {
                return true;
            }
        }
        return false;
    }

    SetupResult CarryOut()
    {
        if (!request_.problem.empty()) {
            report_.Failed(L"command line refused: " + request_.problem, ERROR_INVALID_PARAMETER);
            message_ = request_.problem + L"\n\n" + UsageText();
            return {ERROR_INVALID_PARAMETER, request_.problem, {}};
        }
        if (request_.action == SetupAction::ShowUsage) {
            return {};
        }
        // As msiexec: a log that cannot be written ends the run before anything is done.
        if (const std::wstring& refused = log_.RefusedBecause(); !refused.empty()) {
            message_ = refused;
            return {ERROR_INSTALL_LOG_FAILURE, refused, {}};
        }
        SetupResult result;
        if (request_.action == SetupAction::Install) {
            result = InstallPrinter({request_.port, request_.settings, true, request_.quiet}, &WaitBlocking, report_);
        } else if (request_.action == SetupAction::Check) {
            result = CheckPrinter(request_.port, request_.settings, &WaitBlocking, report_);
        } else {
            result = RemovePrinter({true, request_.quiet, request_.keepPrinter, request_.keepRemembered}, &WaitBlocking,
                                   report_);
        }
        message_ = FailureReport(result);
        return result;
    }

    const SetupRequest& request_;
    const LogFile log_;
    LogReport report_;
    HANDLE finished_ = nullptr;
    std::wstring message_;
};

}  // namespace

int RunUnattended(const SetupRequest& request)
{
    return Unattended(request).Run();
}

}  // namespace portsetup
