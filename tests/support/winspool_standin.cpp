// Stands in for the spooler's client, winspool.drv, for the program under
// test only, where Wine's spooler is kinder than Windows'. Every call goes on
// to Wine's own winspool.drv; the environment (read at each call) adds:
// - WINSPOOL_STANDIN_JOBS: the printer has a job waiting, which a purge
//   takes away; WINSPOOL_STANDIN_PRINTING_MS: a job being written to the port,
//   which no purge takes away, ending that many milliseconds after the
//   printer's deletion (-1: never). With either, DeletePrinter marks the
//   printer for deletion and deletes it once its jobs are done ("DeletePrinter
//   function", Windows docs). Marked, it is left out of every later open and
//   enumeration at once, yet keeps its driver in use (MS-RPRN 3.1.4.2.4,
//   RpcDeletePrinter): here the printer stays in Wine's spooler until then, so
//   that the stand-in rundll32.exe keeps the driver.
// - WINSPOOL_STANDIN_PAUSED: the printer is paused; paused with jobs, it
//   cannot be deleted (ERROR_ACCESS_DENIED, as the same page says) until
//   PRINTER_CONTROL_RESUME.
// - WINSPOOL_STANDIN_STARTING_MS: the Print Spooler service answers nothing
//   (RPC_S_SERVER_UNAVAILABLE) until that long after the process started.
// - WINSPOOL_STANDIN_HIDDEN_PORT: a port the Ports key names but the spooler
//   does not have (written after it started: the local port monitor reads
//   the key when the spooler starts), left out of EnumPortsW.
// - WINSPOOL_STANDIN_HANGS: OpenPrinterW never returns (a spooler hung by a
//   driver: "a blocking or synchronous function and might not return").
// Level 8 driver information names the driver store's copy of the model's
// information file, and DeletePrinterDriverPackageW (which Wine lacks) fails
// with ERROR_PRINTER_DRIVER_PACKAGE_IN_USE while a driver of the model is
// installed in any environment. Steps go to the file WINSPOOL_STANDIN_LOG.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const wchar_t kModel[] = L"Q7 MiniPrinter(Cut Mode)";
const wchar_t kPackage[] =
    L"C:\\windows\\System32\\DriverStore\\FileRepository\\zutw2kxpdrvs.inf_amd64_5a1c0b3f\\zutw2kxpdrvs.inf";

std::string Setting(const char* name)
{
    char value[512] = {};
    return ::GetEnvironmentVariableA(name, value, sizeof value) != 0 ? value : "";
}

template <typename Function>
Function Wine(const char* name)
{
#ifdef _WIN64
    static HMODULE wine = ::LoadLibraryW(L"Z:\\usr\\lib\\x86_64-linux-gnu\\wine\\x86_64-windows\\winspool.drv");
#else
    static HMODULE wine = ::LoadLibraryW(L"Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\winspool.drv");
#endif
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(wine, name)));
}

void Note(const char* step)
{
    const std::string file = Setting("WINSPOOL_STANDIN_LOG");
    if (std::FILE* log = file.empty() ? nullptr : std::fopen(file.c_str(), "ab")) {
        std::fprintf(log, "%s\n", step);
        std::fclose(log);
    }
}

bool queuedTaken = false;  // by a purge
bool resumed = false;
std::wstring pending;  // the printer marked for deletion
HANDLE pendingHandle;  // Wine's, kept until its jobs are done
ULONGLONG pendingSince;

bool Queued()
{
    return !queuedTaken && !Setting("WINSPOOL_STANDIN_JOBS").empty();
}
bool Printing()
{
    const std::string ms = Setting("WINSPOOL_STANDIN_PRINTING_MS");
    return !ms.empty() && (pending.empty() || std::atoi(ms.c_str()) < 0 ||
                           ::GetTickCount64() - pendingSince < static_cast<ULONGLONG>(std::atoi(ms.c_str())));
}
bool Paused()
{
    return !resumed && !Setting("WINSPOOL_STANDIN_PAUSED").empty();
}

// The printer marked for deletion goes once its jobs are done. False, with
// the error, while the spooler is still starting.
bool Answers()
{
    if (!pending.empty() && !Queued() && !Printing()) {
        Wine<BOOL(WINAPI*)(HANDLE)>("DeletePrinter")(pendingHandle);
        Wine<BOOL(WINAPI*)(HANDLE)>("ClosePrinter")(pendingHandle);
        pending.clear();
        Note("deleted");
    }
    static const ULONGLONG start = ::GetTickCount64();
    const std::string ms = Setting("WINSPOOL_STANDIN_STARTING_MS");
    if (!ms.empty() && ::GetTickCount64() - start < static_cast<ULONGLONG>(std::atoi(ms.c_str()))) {
        ::SetLastError(RPC_S_SERVER_UNAVAILABLE);
        return false;
    }
    return true;
}

// Leaves the entry of that name (the spooler compares names without regard
// to case) out of an enumeration's array.
template <typename Info, typename Name>
void LeaveOut(LPBYTE buffer, LPDWORD count, Name name, const std::wstring& hidden)
{
    auto* entries = reinterpret_cast<Info*>(buffer);
    DWORD kept = 0;
    for (DWORD i = 0; i < *count; ++i) {
        if (name(entries[i]) == nullptr || ::lstrcmpiW(name(entries[i]), hidden.c_str()) != 0) {
            entries[kept++] = entries[i];
        }
    }
    *count = kept;
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI OpenPrinterW(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults)
{
    if (!Setting("WINSPOOL_STANDIN_HANGS").empty()) {
        ::Sleep(INFINITE);
    }
    if (!Answers()) {
        return FALSE;
    }
    if (name != nullptr && !pending.empty() && ::lstrcmpiW(name, pending.c_str()) == 0) {
        ::SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    return Wine<decltype(&OpenPrinterW)>("OpenPrinterW")(name, printer, defaults);
}

extern "C" __declspec(dllexport) BOOL WINAPI ClosePrinter(HANDLE printer)
{
    return Wine<BOOL(WINAPI*)(HANDLE)>("ClosePrinter")(printer);
}

extern "C" __declspec(dllexport) BOOL WINAPI
    EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count)
{
    if (!Answers()) {
        return FALSE;
    }
    const BOOL done = Wine<decltype(&EnumPrintersW)>("EnumPrintersW")(flags, name, level, buffer, size, needed, count);
    if (done && level == 2 && !pending.empty()) {
        LeaveOut<PRINTER_INFO_2W>(
            buffer, count, [](const PRINTER_INFO_2W& p) { return p.pPrinterName; }, pending);
    }
    return done;
}

extern "C" __declspec(dllexport) BOOL WINAPI
    EnumPrinterDriversW(LPWSTR server, LPWSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                        LPDWORD count)
{
    if (!Answers()) {
        return FALSE;
    }
    const BOOL done = Wine<decltype(&EnumPrinterDriversW)>("EnumPrinterDriversW")(server, environment, level, buffer,
                                                                                  size, needed, count);
    auto* drivers = reinterpret_cast<DRIVER_INFO_8W*>(buffer);
    for (DWORD i = 0; done && level == 8 && i < *count; ++i) {
        if (::lstrcmpiW(drivers[i].pName, kModel) == 0 && drivers[i].pszInfPath == nullptr) {
            drivers[i].pszInfPath = const_cast<wchar_t*>(kPackage);
        }
    }
    return done;
}

extern "C" __declspec(dllexport) BOOL WINAPI
    EnumPortsW(LPWSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count)
{
    if (!Answers()) {
        return FALSE;
    }
    const BOOL done = Wine<decltype(&EnumPortsW)>("EnumPortsW")(server, level, buffer, size, needed, count);
    const std::string hidden = Setting("WINSPOOL_STANDIN_HIDDEN_PORT");
    if (done && level == 1 && !hidden.empty()) {
        LeaveOut<PORT_INFO_1W>(
            buffer, count, [](const PORT_INFO_1W& p) { return p.pName; }, std::wstring(hidden.begin(), hidden.end()));
    }
    return done;
}

extern "C" __declspec(dllexport) BOOL WINAPI
    GetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed)
{
    const BOOL done = Wine<decltype(&GetPrinterW)>("GetPrinterW")(printer, level, buffer, size, needed);
    if (done && level == 2) {
        auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
        info->cJobs = (Queued() ? 1 : 0) + (Printing() ? 1 : 0);
        info->Status |= Paused() ? PRINTER_STATUS_PAUSED : 0;
    }
    return done;
}

extern "C" __declspec(dllexport) BOOL WINAPI SetPrinterW(HANDLE printer, DWORD level, LPBYTE info, DWORD command)
{
    if (level == 0 && command == PRINTER_CONTROL_PURGE) {
        queuedTaken = true;
        Note("purged");
        return Answers();
    }
    if (level == 0 && command == PRINTER_CONTROL_RESUME) {
        resumed = true;
        Note("resumed");
        return TRUE;
    }
    return Wine<decltype(&SetPrinterW)>("SetPrinterW")(printer, level, info, command);
}

extern "C" __declspec(dllexport) BOOL WINAPI DeletePrinter(HANDLE printer)
{
    if (Paused() && (Queued() || Printing())) {
        Note("refused: paused with jobs");
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!Queued() && !Printing()) {
        Note("deleted");
        return Wine<BOOL(WINAPI*)(HANDLE)>("DeletePrinter")(printer);
    }
    DWORD needed = 0;
    Wine<decltype(&GetPrinterW)>("GetPrinterW")(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + sizeof(PRINTER_INFO_2W));
    Wine<decltype(&GetPrinterW)>("GetPrinterW")(printer, 2, buffer.data(), needed, &needed);
    pending = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data())->pPrinterName;
    Wine<decltype(&OpenPrinterW)>("OpenPrinterW")(pending.data(), &pendingHandle, nullptr);
    pendingSince = ::GetTickCount64();
    Note("marked for deletion");
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI
    DeletePrinterDriverPackageW(LPCWSTR /*server*/, LPCWSTR infPath, LPCWSTR /*environment*/)
{
    DWORD needed = 0;
    DWORD count = 0;
    wchar_t all[] = L"all";
    EnumPrinterDriversW(nullptr, all, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + sizeof(DRIVER_INFO_2W));
    EnumPrinterDriversW(nullptr, all, 2, buffer.data(), needed, &needed, &count);
    for (DWORD i = 0; i < count; ++i) {
        if (::lstrcmpiW(reinterpret_cast<DRIVER_INFO_2W*>(buffer.data())[i].pName, kModel) == 0) {
            Note("package kept: in use");
            // ERROR_PRINTER_DRIVER_PACKAGE_IN_USE: 3015 (0xBC7), "System Error Codes (3000-3999)"
            return HRESULT_FROM_WIN32(3015);
        }
    }
    Note(::lstrcmpiW(infPath, kPackage) == 0 ? "package deleted" : "another package deleted");
    return S_OK;
}
