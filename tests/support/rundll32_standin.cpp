// Stands in for the system's rundll32.exe in a test prefix: appends one line
// to the file named by RUNDLL32_STANDIN_LOG with its own path, its show
// state and its command line, in UTF-16. Then it does to the spooler what
// PrintUIEntry would: /if adds the driver (Wine's PostScript driver in the
// model's name) and the printer on the port; /dd deletes the driver unless a
// printer still uses it, as the spooler does; with RUNDLL32_STANDIN_FAILS set,
// nothing.

#include <windows.h>
#include <winspool.h>

#include <cstdio>
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
    if (line.find(L" /if ") != std::wstring::npos) {
        std::wstring printerName = Argument(line, L"/b");
        std::wstring port = Argument(line, L"/r");
        DRIVER_INFO_3W driver{};
        driver.cVersion = 3;
        driver.pName = model.data();
        driver.pDriverPath = driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
        driver.pDataFile = const_cast<wchar_t*>(L"generic.ppd");
        ::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES);
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
        ::DeletePrinterDriverW(nullptr, nullptr, model.data());
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
    const std::wstring line =
        std::wstring(L"image=") + image + L"\tshow=" + std::to_wstring(show) + L"\tcmdline=" + commandLine + L"\n";
    if (std::FILE* log = ::_wfopen(logPath, L"ab")) {
        std::fwrite(line.data(), sizeof(wchar_t), line.size(), log);
        std::fclose(log);
    }
    if (::GetEnvironmentVariableW(L"RUNDLL32_STANDIN_FAILS", nullptr, 0) == 0) {
        ActOnSpooler(commandLine);
    }
    return 0;
}
