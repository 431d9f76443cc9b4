#include "platform/system_functions.hpp"

#include <string>

#include "platform/system.hpp"

// Binds the table's member of the same name, typed as the member is.
#define BIND(table, module, name) (table).name = ProcAddress<decltype((table).name)>((module), #name)

namespace portsetup {

namespace {

// A table and whether it is bound yet. Each accessor keeps one as a static
// with no initialiser: zeroed before the program starts, so no guard.
template <typename Table>
struct Once {
    bool bound;
    Table table;
};

// The table, bound by bind(table) at the first call.
template <typename Table, typename Bind>
const Table& BoundOnce(Once<Table>& once, Bind bind)
{
    if (!once.bound) {
        once.bound = true;
        bind(once.table);
    }
    return once.table;
}

}  // namespace

HMODULE SystemLibrary(const wchar_t* fileName)
{
    return ::LoadLibraryW((SystemFolder() + L"\\" + fileName).c_str());
}

const Kernel32Functions& Kernel32()
{
    static Once<Kernel32Functions> once;
    return BoundOnce(once, [](Kernel32Functions& table) {
        const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
        BIND(table, kernel32, SetDefaultDllDirectories);
        BIND(table, kernel32, SetProcessMitigationPolicy);
        BIND(table, kernel32, IsWow64Process2);
    });
}

const User32Functions& User32()
{
    static Once<User32Functions> once;
    return BoundOnce(once, [](User32Functions& table) {
        const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        BIND(table, user32, GetDpiForWindow);
        BIND(table, user32, GetSystemMetricsForDpi);
        BIND(table, user32, AdjustWindowRectExForDpi);
        BIND(table, user32, SetDialogDpiChangeBehavior);
    });
}

const NtdllFunctions& Ntdll()
{
    static Once<NtdllFunctions> once;
    return BoundOnce(once, [](NtdllFunctions& table) {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        BIND(table, ntdll, NtCreateFile);
        BIND(table, ntdll, RtlNtStatusToDosError);
    });
}

const WinspoolFunctions& Winspool()
{
    static Once<WinspoolFunctions> once;
    return BoundOnce(once, [](WinspoolFunctions& table) {
        const HMODULE winspool = SystemLibrary(L"winspool.drv");
        if (winspool == nullptr) {
            const DWORD error = ::GetLastError();
            table.bindError = error != ERROR_SUCCESS ? error : static_cast<DWORD>(ERROR_MOD_NOT_FOUND);
            return;
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
    });
}

const OleaccFunctions& Oleacc()
{
    static Once<OleaccFunctions> once;
    return BoundOnce(once, [](OleaccFunctions& table) {
        const HMODULE oleacc = SystemLibrary(L"oleacc.dll");
        BIND(table, oleacc, CreateStdAccessibleObject);
        BIND(table, oleacc, LresultFromObject);
    });
}

const Ole32Functions& Ole32()
{
    static Once<Ole32Functions> once;
    return BoundOnce(once, [](Ole32Functions& table) { BIND(table, SystemLibrary(L"ole32.dll"), CoInitializeEx); });
}

const Oleaut32Functions& Oleaut32()
{
    static Once<Oleaut32Functions> once;
    return BoundOnce(once,
                     [](Oleaut32Functions& table) { BIND(table, SystemLibrary(L"oleaut32.dll"), SysAllocStringLen); });
}

const CombaseFunctions& Combase()
{
    static Once<CombaseFunctions> once;
    return BoundOnce(once, [](CombaseFunctions& table) {
        const HMODULE combase = SystemLibrary(L"combase.dll");
        BIND(table, combase, RoInitialize);
        BIND(table, combase, RoUninitialize);
        BIND(table, combase, WindowsCreateString);
        BIND(table, combase, WindowsDeleteString);
        BIND(table, combase, RoGetActivationFactory);
    });
}

}  // namespace portsetup

#undef BIND
