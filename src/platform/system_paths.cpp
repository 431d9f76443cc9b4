#include "platform/system_paths.hpp"

#include "platform/folders.hpp"
#include "platform/system_function.hpp"

namespace portsetup {

std::wstring ModulePath(HMODULE module)
{
    // GetModuleFileNameW truncates silently when the buffer is short, so grow
    // it until the whole path fits (long-path folders exceed MAX_PATH).
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 0x8000) {
            ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return {};
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ApplicationFolder()
{
    return FolderOf(ModulePath(nullptr));
}

std::wstring SystemFolder()
{
    return PathFrom([](wchar_t* buffer, DWORD size) { return ::GetSystemDirectoryW(buffer, size); });
}

std::wstring WindowsFolder()
{
    return PathFrom([](wchar_t* buffer, DWORD size) { return ::GetSystemWindowsDirectoryW(buffer, size); });
}

namespace {

// The machines of this process and of Windows, from IsWow64Process2 (Windows
// 10 1709 on, looked up): only it tells an x86 process emulated on ARM64.
bool ProcessAndNativeMachines(USHORT& process, USHORT& native)
{
    using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);  // later than the headers used
    const auto isWow64Process2 = ProcAddress<IsWow64Process2Fn>(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2");
    return isWow64Process2 != nullptr && isWow64Process2(::GetCurrentProcess(), &process, &native);
}

}  // namespace

bool RunsUnderWow64()
{
    USHORT process = IMAGE_FILE_MACHINE_UNKNOWN;
    USHORT native = IMAGE_FILE_MACHINE_UNKNOWN;
    if (ProcessAndNativeMachines(process, native)) {
        return process != IMAGE_FILE_MACHINE_UNKNOWN;
    }
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64 != FALSE;
}

USHORT NativeMachine()
{
    USHORT process = IMAGE_FILE_MACHINE_UNKNOWN;
    USHORT native = IMAGE_FILE_MACHINE_UNKNOWN;
    if (ProcessAndNativeMachines(process, native)) {
        return native;
    }
    SYSTEM_INFO system{};
    ::GetNativeSystemInfo(&system);
    switch (system.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
        return IMAGE_FILE_MACHINE_AMD64;
    case PROCESSOR_ARCHITECTURE_INTEL:
        return IMAGE_FILE_MACHINE_I386;
    default:
        return IMAGE_FILE_MACHINE_UNKNOWN;
    }
}

}  // namespace portsetup
