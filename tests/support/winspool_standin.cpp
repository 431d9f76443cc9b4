// Stands in for the spooler's client, winspool.drv, for the program under
// test only, where Wine's spooler is kinder than Windows': with
// WINSPOOL_STANDIN_JOBS set, the printer the program opens has a job in its
// queue, so DeletePrinter only marks it for deletion (GetPrinterW shows
// PRINTER_STATUS_PENDING_DELETION) and it goes once its queue is purged.
// WINSPOOL_STANDIN_STUCK keeps the job through a purge (one being printed to a
// port that does not answer). These steps are appended to the file
// WINSPOOL_STANDIN_LOG; every call goes on to Wine's own winspool.drv.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool jobQueued = std::getenv("WINSPOOL_STANDIN_JOBS") != nullptr;
bool markedForDeletion = false;

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
    const char* file = std::getenv("WINSPOOL_STANDIN_LOG");
    if (std::FILE* log = file != nullptr ? std::fopen(file, "ab") : nullptr) {
        std::fprintf(log, "%s\n", step);
        std::fclose(log);
    }
}

BOOL DeleteNow(HANDLE printer)
{
    Note("deleted");
    return Wine<BOOL(WINAPI*)(HANDLE)>("DeletePrinter")(printer);
}

}  // namespace

// Passed on as they are.
#define PASSED_ON(name, parameters, arguments)                   \
    extern "C" __declspec(dllexport) BOOL WINAPI name parameters \
    {                                                            \
        return Wine<BOOL(WINAPI*) parameters>(#name) arguments;  \
    }
PASSED_ON(OpenPrinterW, (LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults), (name, printer, defaults))
PASSED_ON(ClosePrinter, (HANDLE printer), (printer))
PASSED_ON(EnumPrinterDriversW,
          (LPWSTR server, LPWSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count),
          (server, environment, level, buffer, size, needed, count))
PASSED_ON(EnumPrintersW,
          (DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD count),
          (flags, name, level, buffer, size, needed, count))

extern "C" __declspec(dllexport) BOOL WINAPI DeletePrinter(HANDLE printer)
{
    markedForDeletion = jobQueued;
    if (markedForDeletion) {
        Note("marked for deletion");
        return TRUE;
    }
    return DeleteNow(printer);
}

extern "C" __declspec(dllexport) BOOL WINAPI SetPrinterW(HANDLE printer, DWORD level, LPBYTE info, DWORD command)
{
    if (level != 0 || command != PRINTER_CONTROL_PURGE) {
        return Wine<BOOL(WINAPI*)(HANDLE, DWORD, LPBYTE, DWORD)>("SetPrinterW")(printer, level, info, command);
    }
    jobQueued = jobQueued && std::getenv("WINSPOOL_STANDIN_STUCK") != nullptr;
    Note("purged");
    return markedForDeletion && !jobQueued ? DeleteNow(printer) : TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI
    GetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed)
{
    const BOOL done =
        Wine<BOOL(WINAPI*)(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD)>("GetPrinterW")(printer, level, buffer, size, needed);
    if (done && level == 2 && jobQueued) {
        auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
        info->cJobs = 1;
        info->Status |= markedForDeletion ? PRINTER_STATUS_PENDING_DELETION : 0;
    }
    return done;
}
