#include "registry/mod_register.hpp"

#include "platform/system_function.hpp"
#include "platform/win32_handles.hpp"

namespace portsetup::Mod_Register {

namespace {

// advapi32.dll's registry functions, typed from winreg.h.
struct RegistryFunctions {
    RegistryFunctions()
    {
        const HMODULE advapi = Advapi32();
        if (advapi != nullptr) {
            openKey = SYSTEM_FUNCTION(advapi, RegOpenKeyExA);
            setValue = SYSTEM_FUNCTION(advapi, RegSetValueExA);
            closeKey = SYSTEM_FUNCTION(advapi, RegCloseKey);
            openKeyW = SYSTEM_FUNCTION(advapi, RegOpenKeyExW);
            enumValue = SYSTEM_FUNCTION(advapi, RegEnumValueW);
            queryValue = SYSTEM_FUNCTION(advapi, RegQueryValueExW);
        }
    }

    decltype(&::RegOpenKeyExA) openKey = nullptr;
    decltype(&::RegSetValueExA) setValue = nullptr;
    decltype(&::RegCloseKey) closeKey = nullptr;
    decltype(&::RegOpenKeyExW) openKeyW = nullptr;
    decltype(&::RegEnumValueW) enumValue = nullptr;
    decltype(&::RegQueryValueExW) queryValue = nullptr;
};

// Bound at the first call, and kept for the run.
const RegistryFunctions& Registry()
{
    static const RegistryFunctions functions;
    return functions;
}

struct RegistryKeyCloser {
    void operator()(HKEY key) const noexcept
    {
        if (Registry().closeKey != nullptr) {
            Registry().closeKey(key);
        }
    }
};
using UniqueRegistryKey = UniqueHandle<HKEY, RegistryKeyCloser>;

// Opens a key to read its values, in the view the writer writes.
LONG OpenToRead(HKEY root, const std::wstring& keyPath, UniqueRegistryKey* key)
{
    const RegistryFunctions& registry = Registry();
    if (registry.openKeyW == nullptr || registry.closeKey == nullptr) {
        return ERROR_PROC_NOT_FOUND;
    }
    HKEY opened = nullptr;
    const LONG status = registry.openKeyW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened);
    if (status == ERROR_SUCCESS) {
        key->reset(opened);
    }
    return status;
}

std::string ToAnsi(const std::wstring& text)
{
    if (text.empty()) {
        return {};
    }
    const int size =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size, nullptr,
                              nullptr);
    }
    return ansi;
}

}  // namespace

LONG SetRegString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& data)
{
    const RegistryFunctions& registry = Registry();
    if (registry.openKey == nullptr || registry.setValue == nullptr || registry.closeKey == nullptr) {
        return ERROR_PROC_NOT_FOUND;
    }
    const std::string ansiKeyPath = ToAnsi(keyPath);
    const std::string ansiValueName = ToAnsi(valueName);
    const std::string ansiData = ToAnsi(data);

    HKEY opened = nullptr;
    // The 64-bit view also for the 32-bit program on 64-bit Windows: the one
    // the spooler reads.
    if (const LONG status = registry.openKey(root, ansiKeyPath.c_str(), 0, kWriteAccess | KEY_WOW64_64KEY, &opened);
        status != ERROR_SUCCESS) {
        return status;
    }
    const UniqueRegistryKey key(opened);
    // The size counts the terminating NUL, which is stored with the text.
    return registry.setValue(key.get(), ansiValueName.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(ansiData.c_str()), static_cast<DWORD>(ansiData.size() + 1));
}

LONG GetValueNames(HKEY root, const std::wstring& keyPath, std::vector<std::wstring>* names)
{
    const RegistryFunctions& registry = Registry();
    names->clear();
    UniqueRegistryKey key;
    if (const LONG status = registry.enumValue == nullptr ? ERROR_PROC_NOT_FOUND : OpenToRead(root, keyPath, &key);
        status != ERROR_SUCCESS) {
        return status;
    }
    std::wstring name(16384, L'\0');  // a value's name is at most 16,383 characters
    for (DWORD index = 0;; ++index) {
        auto length = static_cast<DWORD>(name.size());
        const LONG status =
            registry.enumValue(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            return ERROR_SUCCESS;
        }
        if (status != ERROR_SUCCESS) {
            return status;
        }
        names->emplace_back(name.data(), length);
    }
}

LONG GetRegString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, std::wstring* data)
{
    const RegistryFunctions& registry = Registry();
    data->clear();
    UniqueRegistryKey key;
    if (const LONG status = registry.queryValue == nullptr ? ERROR_PROC_NOT_FOUND : OpenToRead(root, keyPath, &key);
        status != ERROR_SUCCESS) {
        return status;
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG status = registry.queryValue(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (status == ERROR_SUCCESS) {
        status = registry.queryValue(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                                     &size);
    }
    if (status == ERROR_SUCCESS && type != REG_SZ) {
        status = ERROR_INVALID_DATATYPE;
    }
    if (status == ERROR_SUCCESS) {
        text.resize(size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') {
            text.pop_back();
        }
        *data = text;
    }
    return status;
}

}  // namespace portsetup::Mod_Register
