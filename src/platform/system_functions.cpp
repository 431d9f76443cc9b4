#include "platform/system_functions.hpp"

#include <string>

#include "platform/system.hpp"

// Binds the table's member of the same name, typed as the member is.
#define BIND(table, module, name) (table).name = ProcAddress<decltype((table).name)>((module), #name)

namespace portsetup {

namespace {

// A table and whether it is bound yet. Each accessor keeps one as a static
// with no initialiser: zeroed before the program starts, so no guard and no
// initialised data; bound at the first call.
template <typename Table>
struct Once {
    bool bound;
    Table table;
};

}  // namespace

HMODULE SystemLibrary(const wchar_t* fileName)
{
    return ::LoadLibraryW((SystemFolder() + L"\\" + fileName).c_str());
}

const Kernel32Functions& Kernel32()
{
    static Once<Kernel32Functions> once;
    if (!once.bound) {
        once.bound = true;
        const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
        BIND(once.table, kernel32, SetDefaultDllDirectories);
        BIND(once.table, kernel32, SetProcessMitigationPolicy);
        BIND(once.table, kernel32, IsWow64Process2);
    }
    return once.table;
}

const User32Functions& User32()
{
    static Once<User32Functions> once;
    if (!once.bound) {
        once.bound = true;
        const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        BIND(once.table, user32, GetDpiForWindow);
        BIND(once.table, user32, GetSystemMetricsForDpi);
        BIND(once.table, user32, AdjustWindowRectExForDpi);
        BIND(once.table, user32, SetDialogDpiChangeBehavior);
    }
    return once.table;
}

const NtdllFunctions& Ntdll()
{
    static Once<NtdllFunctions> once;
    if (!once.bound) {
        once.bound = true;
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        BIND(once.table, ntdll, NtCreateFile);
        BIND(once.table, ntdll, RtlNtStatusToDosError);
    }
    return once.table;
}

const WinspoolFunctions& Winspool()
{
    static Once<WinspoolFunctions> once;
    if (once.bound) {
        return once.table;
    }
    once.bound = true;
    WinspoolFunctions& table = once.table;
    const HMODULE winspool = SystemLibrary(L"winspool.drv");
    if (winspool == nullptr) {
        const DWORD error = ::GetLastError();
        table.bindError = error != ERROR_SUCCESS ? error : static_cast<DWORD>(ERROR_MOD_NOT_FOUND);
        return table;
    }
    BIND(table, winspool, OpenPrinterW);
    BIND(table, winspool, ClosePrinter);
    BIND(table, winspool, DeletePrinter);
    BIND(table, winspool, GetPrinterW);
    BIND(table, winspool, SetPrinterW);
    BIND(table, winspool, EnumPrinterDriversW);
    BIND(table, winspool, EnumPrintersW);
    BIND(table, winspool, EnumPortsW);
    BIND(table, winspool, DeletePrinterDriverPackageW);
    const bool complete = table.OpenPrinterW != nullptr && table.ClosePrinter != nullptr &&
                          table.DeletePrinter != nullptr && table.GetPrinterW != nullptr &&
                          table.SetPrinterW != nullptr && table.EnumPrinterDriversW != nullptr &&
                          table.EnumPrintersW != nullptr && table.EnumPortsW != nullptr;
    table.bindError = complete ? ERROR_SUCCESS : ERROR_PROC_NOT_FOUND;
    return table;
}

const OleaccFunctions& Oleacc()
{
    static Once<OleaccFunctions> once;
    if (!once.bound) {
        once.bound = true;
        const HMODULE oleacc = SystemLibrary(L"oleacc.dll");
        BIND(once.table, oleacc, CreateStdAccessibleObject);
        BIND(once.table, oleacc, LresultFromObject);
    }
    return once.table;
}

const Oleaut32Functions& Oleaut32()
{
    static Once<Oleaut32Functions> once;
    if (!once.bound) {
        once.bound = true;
        BIND(once.table, SystemLibrary(L"oleaut32.dll"), SysAllocStringLen);
    }
    return once.table;
}

const CombaseFunctions& Combase()
{
    static Once<CombaseFunctions> once;
    if (!once.bound) {
        once.bound = true;
        const HMODULE combase = SystemLibrary(L"combase.dll");
        BIND(once.table, combase, RoInitialize);
        BIND(once.table, combase, RoUninitialize);
        BIND(once.table, combase, WindowsCreateString);
        BIND(once.table, combase, WindowsDeleteString);
        BIND(once.table, combase, RoGetActivationFactory);
    }
    return once.table;
}

}  // namespace portsetup

#undef BIND
