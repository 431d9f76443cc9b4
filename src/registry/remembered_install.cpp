#include "registry/remembered_install.hpp"

#include "platform/system_function.hpp"
#include "platform/unique_handle.hpp"

namespace portsetup {

namespace {

struct KeyCloser {
    void operator()(HKEY key) const noexcept
    {
        static const auto closeKey = SYSTEM_FUNCTION(Advapi32(), RegCloseKey);
        if (closeKey != nullptr) {
            closeKey(key);
        }
    }
};

}  // namespace

LONG RememberInstall(const std::wstring& port, const std::wstring& settings)
{
    static const auto createKey = SYSTEM_FUNCTION(Advapi32(), RegCreateKeyExW);
    static const auto setValue = SYSTEM_FUNCTION(Advapi32(), RegSetValueExW);
    static const auto deleteValue = SYSTEM_FUNCTION(Advapi32(), RegDeleteValueW);
    if (createKey == nullptr || setValue == nullptr || deleteValue == nullptr) {
        return ERROR_PROC_NOT_FOUND;
    }
    HKEY created = nullptr;
    if (const LONG status = createKey(HKEY_LOCAL_MACHINE, kRememberedInstallKey, 0, nullptr, 0,
                                      KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &created, nullptr);
        status != ERROR_SUCCESS) {
        return status;
    }
    const UniqueHandle<HKEY, KeyCloser> key(created);
    LONG status = ERROR_SUCCESS;
    for (const auto& [name, value] : {std::pair{L"Port", &port}, std::pair{L"Settings", &settings}}) {
        const auto bytes = static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t));
        if (status != ERROR_SUCCESS) {
            break;
        }
        if (value->empty()) {  // none asked for: none to put back
            status = deleteValue(key.get(), name);
            status = status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
        } else {
            status = setValue(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()), bytes);
        }
    }
    return status;
}

LONG ForgetInstall()
{
    static const auto deleteKey = SYSTEM_FUNCTION(Advapi32(), RegDeleteKeyExW);
    if (deleteKey == nullptr) {
        return ERROR_PROC_NOT_FOUND;
    }
    const LONG status = deleteKey(HKEY_LOCAL_MACHINE, kRememberedInstallKey, KEY_WOW64_64KEY, 0);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

}  // namespace portsetup
