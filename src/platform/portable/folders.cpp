#include "platform/portable/folders.hpp"

namespace portsetup {

std::wstring NativeSystemFolder(std::wstring_view windowsFolder, std::wstring_view systemFolder, bool underWow64)
{
    if (!underWow64) {
        return std::wstring(systemFolder);
    }
    if (windowsFolder.empty()) {
        return {};
    }
    std::wstring folder(windowsFolder);
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder + L"Sysnative";
}

std::wstring FolderOf(std::wstring_view programPath)
{
    const std::size_t lastSeparator = programPath.find_last_of(L"\\/");
    if (lastSeparator == std::wstring_view::npos) {
        return {};
    }
    const bool atDriveRoot = lastSeparator == 2 && programPath[1] == L':';
    return std::wstring(programPath.substr(0, atDriveRoot ? lastSeparator + 1 : lastSeparator));
}

}  // namespace portsetup
