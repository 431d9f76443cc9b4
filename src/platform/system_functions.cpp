#include "platform/system_functions.hpp"

#include <string>

#include "platform/system.hpp"

// Binds the table's member of the same name, typed as the member is.
#define BIND(table, module, name) (table).name = ProcAddress<decltype((table).name)>((module), #name)

namespace portsetup {

HMODULE SystemLibrary(const wchar_t* fileName)
{
    return ::LoadLibraryW((SystemFolder() + L"\\" + fileName).c_str());
}

const Kernel32Functions& Kernel32()
{
    static const Kernel32Functions table = [] {
        const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
        Kernel32Functions bound{};
        BIND(bound, kernel32, SetDefaultDllDirectories);
        BIND(bound, kernel32, SetProcessMitigationPolicy);
        BIND(bound, kernel32, IsWow64Process2);
        return bound;
    }();
    return table;
}

const User32Functions& User32()
{
    static const User32Functions table = [] {
        const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        User32Functions bound{};
        BIND(bound, user32, GetDpiForWindow);
        BIND(bound, user32, GetSystemMetricsForDpi);
        BIND(bound, user32, AdjustWindowRectExForDpi);
        BIND(bound, user32, SetDialogDpiChangeBehavior);
        return bound;
    }();
    return table;
}

const NtdllFunctions& Ntdll()
{
    static const NtdllFunctions table = [] {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        NtdllFunctions bound{};
        BIND(bound, ntdll, NtCreateFile);
        BIND(bound, ntdll, RtlNtStatusToDosError);
        return bound;
    }();
    return table;
}

const WinspoolFunctions& Winspool()
{
    static const WinspoolFunctions table = [] {
        WinspoolFunctions bound{};
        const HMODULE winspool = SystemLibrary(L"winspool.drv");
        if (winspool == nullptr) {
            const DWORD error = ::GetLastError();
            bound.bindError = error != ERROR_SUCCESS ? error : static_cast<DWORD>(ERROR_MOD_NOT_FOUND);
            return bound;
        }
        BIND(bound, winspool, OpenPrinterW);
        BIND(bound, winspool, ClosePrinter);
        BIND(bound, winspool, DeletePrinter);
        BIND(bound, winspool, GetPrinterW);
        BIND(bound, winspool, SetPrinterW);
        BIND(bound, winspool, EnumPrinterDriversW);
        BIND(bound, winspool, EnumPrintersW);
        BIND(bound, winspool, EnumPortsW);
        BIND(bound, winspool, DeletePrinterDriverPackageW);
        const bool complete = bound.OpenPrinterW != nullptr && bound.ClosePrinter != nullptr &&
                              bound.DeletePrinter != nullptr && bound.GetPrinterW != nullptr &&
                              bound.SetPrinterW != nullptr && bound.EnumPrinterDriversW != nullptr &&
                              bound.EnumPrintersW != nullptr && bound.EnumPortsW != nullptr;
        bound.bindError = complete ? ERROR_SUCCESS : ERROR_PROC_NOT_FOUND;
        return bound;
    }();
    return table;
}

const OleaccFunctions& Oleacc()
{
    static const OleaccFunctions table = [] {
        const HMODULE oleacc = SystemLibrary(L"oleacc.dll");
        OleaccFunctions bound{};
        BIND(bound, oleacc, CreateStdAccessibleObject);
        BIND(bound, oleacc, LresultFromObject);
        return bound;
    }();
    return table;
}

const Oleaut32Functions& Oleaut32()
{
    static const Oleaut32Functions table = [] {
        const HMODULE oleaut32 = SystemLibrary(L"oleaut32.dll");
        Oleaut32Functions bound{};
        BIND(bound, oleaut32, SysAllocStringLen);
        return bound;
    }();
    return table;
}

const CombaseFunctions& Combase()
{
    static const CombaseFunctions table = [] {
        const HMODULE combase = SystemLibrary(L"combase.dll");
        CombaseFunctions bound{};
        BIND(bound, combase, RoInitialize);
        BIND(bound, combase, RoUninitialize);
        BIND(bound, combase, WindowsCreateString);
        BIND(bound, combase, WindowsDeleteString);
        BIND(bound, combase, RoGetActivationFactory);
        return bound;
    }();
    return table;
}

}  // namespace portsetup
