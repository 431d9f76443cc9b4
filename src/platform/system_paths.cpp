#include "platform/system_paths.hpp"

#include "driver/command_lines.hpp"

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
    const UINT needed = ::GetSystemDirectoryW(nullptr, 0);
    if (needed == 0) {
        return {};
    }
    std::wstring folder(needed, L'\0');
    const UINT length = ::GetSystemDirectoryW(folder.data(), needed);
    folder.resize(length < needed ? length : 0);
    return folder;
}

}  // namespace portsetup
