#include "registry/remembered_install.hpp"

#include "platform/win32_handles.hpp"

namespace portsetup {

LONG RememberInstall(const std::wstring& port, const std::wstring& settings)
{
    UniqueRegistryKey key;
    if (const LONG status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRememberedInstallKey, 0, nullptr, 0,
                                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr);
        status != ERROR_SUCCESS) {
        return status;
    }
    LONG status = ERROR_SUCCESS;
    for (const auto& [name, value] : {std::pair{L"Port", &port}, std::pair{L"Settings", &settings}}) {
        const auto bytes = static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t));
        if (status != ERROR_SUCCESS) {
            break;
        }
        if (value->empty()) {  // none asked for: none to put back
            status = ::RegDeleteValueW(key.get(), name);
            status = status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
        } else {
            status = ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()), bytes);
        }
    }
    return status;
}

LONG ForgetInstall()
{
    const LONG status = ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kRememberedInstallKey, KEY_WOW64_64KEY, 0);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

}  // namespace portsetup
