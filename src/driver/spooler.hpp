#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32_handles.hpp"

namespace portsetup {

// 0 when the spooler answers (the local print server opens); otherwise the
// error, RPC_S_SERVER_UNAVAILABLE for a stopped Print Spooler service.
DWORD SpoolerError();

// Opens the model's printer: 0, ERROR_INVALID_PRINTER_NAME when the spooler
// shows none, or the error.
DWORD OpenModelsPrinter(ACCESS_MASK access, UniquePrinter* printer);

// The printer's information at a level (PRINTER_INFO_2W for 2), in a buffer
// of its own; empty when it cannot be read.
std::vector<BYTE> PrinterInfo(HANDLE printer, DWORD level);

// Names as the spooler compares them: without regard to case.
bool SameName(const wchar_t* name, std::wstring_view other);

// The model's printer as the spooler shows it.
struct PrinterState {
    bool exists = false;
    std::wstring port;
    bool modelsDriver = false;  // its driver is the model's
    bool pendingDeletion = false;
};
PrinterState ModelsPrinter();

// Whether the printer shown is the model's on the port, with the model's
// driver, and not being deleted.
bool IsInstalledOn(const PrinterState& printer, std::wstring_view port);

// Where the model's driver is still installed: in Windows' own environment
// (the one the removal line removes it from), and in which others ("Windows
// NT x86" beside "Windows x64", as print servers keep for 32-bit clients).
struct DriverState {
    bool native = false;
    std::vector<std::wstring> otherEnvironments;
};
DriverState ModelsDriver();

// The printers, the model's own or others, that use the model's driver.
std::vector<std::wstring> PrintersUsingModelsDriver();

// The spooler's own ports ("COM1:", "LPT1:", "FILE:" ...): 0, or the error.
DWORD SpoolerPorts(std::vector<std::wstring>* names);

// The driver store's copy of the information file of the model's driver in
// Windows' own environment (its package); empty when there is none.
std::wstring ModelsDriverPackage();

// The spooler's name for the environment of Windows' own machine ("Windows
// x64"), whose drivers the native printer set-up installs and removes.
const wchar_t* NativeDriverEnvironment();

}  // namespace portsetup
