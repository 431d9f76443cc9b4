// Stands in for the system's rundll32.exe in a test prefix: appends one line
// to the file named by RUNDLL32_STANDIN_LOG with its own path, its show
// state, its current folder and its command line, in UTF-16. Then it does to
// the spooler what PrintUIEntry would: /if adds the driver (Wine's PostScript
// driver in the model's name) and the printer on the port; /ia the driver
// alone; /dd deletes the driver unless a printer still uses it, as the
// spooler does; /h x86 means 32-bit Windows' driver. With
// RUNDLL32_STANDIN_FAILS set, nothing; with RUNDLL32_STANDIN_HANGS, it never ends;
// RUNDLL32_STANDIN_SECONDS makes it take that long.

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The value after OPTION in the command line, quoted or up to a space.
std::wstring Argument(const std::wstring& line, const std::wstring& option)
{
    std::size_t from = line.find(L" " + option + L" ");
    if (from == std::wstring::npos) {
        return {};
    }
    from += option.size() + 2;
    const bool quoted = line[from] == L'"';
    from += quoted ? 1 : 0;
    return line.substr(from, line.find(quoted ? L'"' : L' ', from) - from);
}

void ActOnSpooler(const std::wstring& line)
{
    std::wstring model = Argument(line, L"/m");
    // /h x86: the driver of 32-bit Windows, as print servers keep for their clients.
    std::wstring environment = Argument(line, L"/h") == L"x86" ? L"Windows NT x86" : L"";
    wchar_t* inEnvironment = environment.empty() ? nullptr : environment.data();
    if (line.find(L" /if ") != std::wstring::npos || line.find(L" /ia ") != std::wstring::npos) {
        DRIVER_INFO_3W driver{};
        driver.cVersion = 3;
        driver.pName = model.data();
        driver.pEnvironment = inEnvironment;
        driver.pDriverPath = driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
        driver.pDataFile = const_cast<wchar_t*>(L"generic.ppd");
        ::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES);
    }
    std::wstring printerName = Argument(line, L"/b");
    HANDLE existing = nullptr;
    // Windows' AddPrinter refuses a name that is taken; Wine's would take the printer over.
    if (line.find(L" /if ") != std::wstring::npos && !::OpenPrinterW(printerName.data(), &existing, nullptr)) {
        std::wstring port = Argument(line, L"/r");
        PRINTER_INFO_2W printer{};
        printer.pPrinterName = printerName.data();
        printer.pPortName = port.data();
        printer.pDriverName = model.data();
        printer.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
        printer.pDatatype = const_cast<wchar_t*>(L"RAW");
        ::ClosePrinter(::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer)));
    } else if (line.find(L" /dd ") != std::wstring::npos) {
        DWORD needed = 0;
        DWORD count = 0;
        ::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
        std::vector<BYTE> buffer(needed + sizeof(PRINTER_INFO_2W));
        ::EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count);
        const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            if (model == printers[i].pDriverName) {
                return;
            }
        }
        ::DeletePrinterDriverW(nullptr, inEnvironment, model.data());
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*showCommand*/)
{
    wchar_t logPath[32768];
    wchar_t image[32768];
    if (::GetEnvironmentVariableW(L"RUNDLL32_STANDIN_LOG", logPath, 32768) == 0 ||
        ::GetModuleFileNameW(nullptr, image, 32768) == 0) {
        return 3;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    const unsigned show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : 0xFFFFu;
    const std::wstring commandLine = ::GetCommandLineW();
    wchar_t folder[32768];
    ::GetCurrentDirectoryW(32768, folder);
    const std::wstring line = std::wstring(L"image=") + image + L"\tshow=" + std::to_wstring(show) + L"\tcwd=" +
                              folder + L"\tcmdline=" + commandLine + L"\n";
    if (std::FILE* log = ::_wfopen(logPath, L"ab")) {
        std::fwrite(line.data(), sizeof(wchar_t), line.size(), log);
        std::fclose(log);
    }
    wchar_t seconds[16] = {};
    if (::GetEnvironmentVariableW(L"RUNDLL32_STANDIN_HANGS", nullptr, 0) != 0) {
        ::Sleep(INFINITE);
    } else if (::GetEnvironmentVariableW(L"RUNDLL32_STANDIN_SECONDS", seconds, 16) != 0) {
        ::Sleep(static_cast<DWORD>(std::wcstoul(seconds, nullptr, 10)) * 1000);
    }
    if (::GetEnvironmentVariableW(L"RUNDLL32_STANDIN_FAILS", nullptr, 0) == 0) {
        ActOnSpooler(commandLine);
    }
    return 0;
}
