#pragma once

// The functions the program takes from system DLLs at run time, one table a
// DLL, each bound once, at its first use, and kept for the run. A DLL is
// taken this way when it is not among those Windows always loads from the
// system folder (winspool.drv, oleacc.dll), when loading it at start would
// cost every start for a rare use (ole32.dll, oleaut32.dll, combase.dll), or for
// functions that later Windows added (kernel32.dll's and user32.dll's here;
// combase.dll's WinRT functions, Windows 8 on). What every supported Windows
// has in a DLL the program imports is called directly.
#include <windows.h>
#include <oleacc.h>
#include <roapi.h>
#include <winspool.h>
#include <winstring.h>
#include <winternl.h>

namespace portsetup {

// A DLL of the system folder, loaded by its full path and kept loaded for
// the run; nullptr, with the error in GetLastError(), when it cannot be.
HMODULE SystemLibrary(const wchar_t* fileName);

// A function of a loaded module, by name, as a pointer of the given type;
// nullptr when the module (or this Windows) has no such export.
template <typename Function>
Function ProcAddress(HMODULE module, const char* name)
{
    // GetProcAddress returns a generic pointer; going through void(*)() is
    // the form the compiler accepts for a cast to another function type.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// Functions later than the headers the program is built for (Windows 7),
// typed from their documentation.
using SetProcessMitigationPolicyFunction = BOOL(WINAPI*)(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);  // Windows 8
using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);                             // 10 1511
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);                                                 // 10 1607
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);                                      // 10 1607
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);            // 10 1607
using SetDialogDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);                            // 10 1703

// kernel32.dll: what Windows 7 has only with an update, or not at all.
struct Kernel32Functions {
    decltype(&::SetDefaultDllDirectories) SetDefaultDllDirectories;  // Windows 7 with KB2533623
    SetProcessMitigationPolicyFunction SetProcessMitigationPolicy;
    IsWow64Process2Function IsWow64Process2;
};
const Kernel32Functions& Kernel32();

// user32.dll: the per-monitor DPI functions of Windows 10.
struct User32Functions {
    GetDpiForWindowFunction GetDpiForWindow;
    GetSystemMetricsForDpiFunction GetSystemMetricsForDpi;
    AdjustWindowRectExForDpiFunction AdjustWindowRectExForDpi;
    SetDialogDpiChangeBehaviorFunction SetDialogDpiChangeBehavior;
};
const User32Functions& User32();

// ntdll.dll, which import libraries do not cover alike for both builds.
struct NtdllFunctions {
    decltype(&::NtCreateFile) NtCreateFile;
    decltype(&::RtlNtStatusToDosError) RtlNtStatusToDosError;
};
const NtdllFunctions& Ntdll();

// winspool.drv, the spooler's client.
struct WinspoolFunctions {
    DWORD bindError;  // 0 once every function below but the last is found
    decltype(&::OpenPrinterW) OpenPrinterW;
    decltype(&::ClosePrinter) ClosePrinter;
    decltype(&::DeletePrinter) DeletePrinter;
    decltype(&::GetPrinterW) GetPrinterW;
    decltype(&::SetPrinterW) SetPrinterW;
    decltype(&::EnumPrinterDriversW) EnumPrinterDriversW;
    decltype(&::EnumPrintersW) EnumPrintersW;
    decltype(&::EnumPortsW) EnumPortsW;
    decltype(&::DeletePrinterDriverPackageW) DeletePrinterDriverPackageW;  // Vista on
};
const WinspoolFunctions& Winspool();

// oleacc.dll, for the lists' accessible objects.
struct OleaccFunctions {
    decltype(&::CreateStdAccessibleObject) CreateStdAccessibleObject;
    decltype(&::LresultFromObject) LresultFromObject;
};
const OleaccFunctions& Oleacc();

// ole32.dll, for the apartment that hands objects to screen readers.
struct Ole32Functions {
    decltype(&::CoInitializeEx) CoInitializeEx;
};
const Ole32Functions& Ole32();

// oleaut32.dll, for the strings handed to screen readers.
struct Oleaut32Functions {
    decltype(&::SysAllocStringLen) SysAllocStringLen;
};
const Oleaut32Functions& Oleaut32();

// combase.dll: the Windows Runtime (Windows 8 on).
struct CombaseFunctions {
    decltype(&::RoInitialize) RoInitialize;
    decltype(&::RoUninitialize) RoUninitialize;
    decltype(&::WindowsCreateString) WindowsCreateString;
    decltype(&::WindowsDeleteString) WindowsDeleteString;
    decltype(&::RoGetActivationFactory) RoGetActivationFactory;
};
const CombaseFunctions& Combase();

}  // namespace portsetup
