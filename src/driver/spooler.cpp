#include "driver/spooler.hpp"

#include "driver/command_lines.hpp"
#include "platform/system.hpp"
#include "platform/system_functions.hpp"

namespace portsetup {

namespace {

// What an enumeration of the spooler gives at one level, as an array of
// Info in a buffer of its own; empty when it cannot be read.
template <typename Info, typename Enumerate>
std::vector<BYTE> Enumerated(Enumerate enumerate, DWORD* count)
{
    DWORD needed = 0;
    enumerate(nullptr, 0, &needed, count);
    std::vector<BYTE> buffer(needed + sizeof(Info));
    if (!enumerate(buffer.data(), static_cast<DWORD>(buffer.size()), &needed, count)) {
        buffer.clear();
        *count = 0;
    }
    return buffer;
}

}  // namespace

DWORD SpoolerError()
{
    if (Winspool().bindError != ERROR_SUCCESS) {
        return Winspool().bindError;
    }
    UniquePrinter server;
    return Winspool().OpenPrinterW(nullptr, server.put(), nullptr) ? ERROR_SUCCESS : ::GetLastError();
}

DWORD OpenModelsPrinter(ACCESS_MASK access, UniquePrinter* printer)
{
    if (Winspool().bindError != ERROR_SUCCESS) {
        return Winspool().bindError;
    }
    std::wstring name(kDriverModelName);
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    return Winspool().OpenPrinterW(name.data(), printer->put(), &defaults) ? ERROR_SUCCESS : ::GetLastError();
}

std::vector<BYTE> PrinterInfo(HANDLE printer, DWORD level)
{
    DWORD needed = 0;
    Winspool().GetPrinterW(printer, level, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + sizeof(PRINTER_INFO_2W));
    if (!Winspool().GetPrinterW(printer, level, buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
        buffer.clear();
    }
    return buffer;
}

bool SameName(const wchar_t* name, std::wstring_view other)
{
    return name != nullptr && ::lstrcmpiW(name, std::wstring(other).c_str()) == 0;
}

PrinterState ModelsPrinter()
{
    PrinterState state;
    UniquePrinter printer;
    if (OpenModelsPrinter(PRINTER_ACCESS_USE, &printer) != ERROR_SUCCESS) {
        return state;
    }
    if (const std::vector<BYTE> buffer = PrinterInfo(printer.get(), 2); !buffer.empty()) {
        const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
        state.exists = true;
        state.port = info->pPortName != nullptr ? info->pPortName : L"";
        state.modelsDriver = SameName(info->pDriverName, kDriverModelName);
        state.pendingDeletion = (info->Status & PRINTER_STATUS_PENDING_DELETION) != 0;
    }
    return state;
}

bool IsInstalledOn(const PrinterState& printer, std::wstring_view port)
{
    return printer.exists && printer.modelsDriver && !printer.pendingDeletion && SameName(printer.port.c_str(), port);
}

DriverState ModelsDriver()
{
    DriverState state;
    state.native = true;  // until the spooler shows it gone
    if (SpoolerError() != ERROR_SUCCESS) {
        return state;
    }
    // Every environment: a 32-bit caller would otherwise see only the 32-bit drivers.
    std::wstring all = L"all";
    DWORD count = 0;
    const std::vector<BYTE> buffer = Enumerated<DRIVER_INFO_2W>(
        [&all](BYTE* data, DWORD size, DWORD* needed, DWORD* found) {
            return Winspool().EnumPrinterDriversW(nullptr, all.data(), 2, data, size, needed, found);
        },
        &count);
    if (buffer.empty()) {
        return state;
    }
    state.native = false;
    const wchar_t* native = NativeDriverEnvironment();
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (!SameName(drivers[i].pName, kDriverModelName)) {
            continue;
        }
        const wchar_t* environment = drivers[i].pEnvironment != nullptr ? drivers[i].pEnvironment : L"";
        if (native == nullptr || SameName(environment, native)) {
            state.native = true;
        } else {
            state.otherEnvironments.emplace_back(environment);
        }
    }
    return state;
}

std::vector<std::wstring> PrintersUsingModelsDriver()
{
    std::vector<std::wstring> names;
    if (SpoolerError() != ERROR_SUCCESS) {
        return names;
    }
    DWORD count = 0;
    const std::vector<BYTE> buffer = Enumerated<PRINTER_INFO_2W>(
        [](BYTE* data, DWORD size, DWORD* needed, DWORD* found) {
            return Winspool().EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, data, size, needed, found);
        },
        &count);
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (SameName(printers[i].pDriverName, kDriverModelName) && printers[i].pPrinterName != nullptr) {
            names.emplace_back(printers[i].pPrinterName);
        }
    }
    return names;
}

DWORD SpoolerPorts(std::vector<std::wstring>* names)
{
    names->clear();
    if (const DWORD error = SpoolerError(); error != ERROR_SUCCESS) {
        return error;
    }
    DWORD count = 0;
    const std::vector<BYTE> buffer = Enumerated<PORT_INFO_1W>(
        [](BYTE* data, DWORD size, DWORD* needed, DWORD* found) {
            return Winspool().EnumPortsW(nullptr, 1, data, size, needed, found);
        },
        &count);
    if (buffer.empty()) {
        return ::GetLastError();
    }
    const auto* ports = reinterpret_cast<const PORT_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (ports[i].pName != nullptr) {
            names->emplace_back(ports[i].pName);
        }
    }
    return ERROR_SUCCESS;
}

std::wstring ModelsDriverPackage()
{
    if (SpoolerError() != ERROR_SUCCESS) {
        return {};
    }
    std::wstring environment = NativeDriverEnvironment() != nullptr ? NativeDriverEnvironment() : L"";
    DWORD count = 0;
    const std::vector<BYTE> buffer = Enumerated<DRIVER_INFO_8W>(
        [&environment](BYTE* data, DWORD size, DWORD* needed, DWORD* found) {
            return Winspool().EnumPrinterDriversW(nullptr, environment.empty() ? nullptr : environment.data(), 8, data,
                                                  size, needed, found);
        },
        &count);
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_8W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (SameName(drivers[i].pName, kDriverModelName) && drivers[i].pszInfPath != nullptr) {
            return drivers[i].pszInfPath;
        }
    }
    return {};
}

const wchar_t* NativeDriverEnvironment()
{
    switch (NativeMachine()) {
    case IMAGE_FILE_MACHINE_AMD64:
        return L"Windows x64";
    case IMAGE_FILE_MACHINE_ARM64:
        return L"Windows ARM64";
    case IMAGE_FILE_MACHINE_I386:
        return L"Windows NT x86";
    default:
        return nullptr;
    }
}

}  // namespace portsetup
