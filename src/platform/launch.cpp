#include "platform/launch.hpp"

#include "platform/folders.hpp"
#include "platform/system_paths.hpp"
#include "platform/win32_handles.hpp"

namespace portsetup {

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

}  // namespace portsetup
