#include "platform/native_system_folder.hpp"

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

}  // namespace portsetup
