#include "platform/system.hpp"

#include "platform/portable/folders.hpp"
#include "platform/system_functions.hpp"

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
// 10 1511 on): only it tells an x86 process emulated on ARM64.
bool ProcessAndNativeMachines(USHORT& process, USHORT& native)
{
    const auto isWow64Process2 = Kernel32().IsWow64Process2;
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

std::wstring SystemRundll32Path()
{
    std::wstring folder = NativeSystemFolder(WindowsFolder(), SystemFolder(), RunsUnderWow64());
    if (folder.empty()) {
        return {};
    }
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder + L"rundll32.exe";
}

DWORD Launch(const std::wstring& applicationPath, std::wstring_view commandLine, WORD showCommand,
             const std::wstring& currentFolder, UniqueKernelHandle* process)
{
    if (applicationPath.empty()) {
        return ERROR_FILE_NOT_FOUND;
    }
    // CreateProcessW may write into the command line, so it gets a copy.
    std::wstring mutableLine(commandLine);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showCommand;
    PROCESS_INFORMATION started{};

    if (!::CreateProcessW(applicationPath.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &started)) {
        return ::GetLastError();
    }
    UniqueKernelHandle processHandle(started.hProcess);
    const UniqueKernelHandle threadHandle(started.hThread);
    if (process != nullptr) {
        *process = std::move(processHandle);
    }
    return ERROR_SUCCESS;
}

bool WindowsCanBeSeen()
{
    // Services run apart from every user's desktop, under ID 0.
    DWORD sessionId = 0;
    if (::ProcessIdToSessionId(::GetCurrentProcessId(), &sessionId) && sessionId == 0) {
        return false;
    }
    USEROBJECTFLAGS flags{};
    if (!::GetUserObjectInformationW(::GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags, nullptr)) {
        return true;  // not known: as on any desktop
    }
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace portsetup
