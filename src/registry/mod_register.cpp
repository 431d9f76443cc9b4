#include "registry/mod_register.hpp"

#include "platform/system_functions.hpp"
#include "platform/win32_handles.hpp"

namespace portsetup::Mod_Register {

namespace {

// The writer's own three functions, typed from winreg.h, bound by name from
// advapi32.dll at the first call and kept for the run.
struct WriterFunctions {
    decltype(&::RegOpenKeyExA) RegOpenKeyExA;
    decltype(&::RegSetValueExA) RegSetValueExA;
    decltype(&::RegCloseKey) RegCloseKey;
};

const WriterFunctions& Writer()
{
    static const WriterFunctions functions = [] {
        const HMODULE advapi32 = ::GetModuleHandleW(L"advapi32.dll");
        return WriterFunctions{ProcAddress<decltype(&::RegOpenKeyExA)>(advapi32, "RegOpenKeyExA"),
                               ProcAddress<decltype(&::RegSetValueExA)>(advapi32, "RegSetValueExA"),
                               ProcAddress<decltype(&::RegCloseKey)>(advapi32, "RegCloseKey")};
    }();
    return functions;
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
    const WriterFunctions& writer = Writer();
    if (writer.RegOpenKeyExA == nullptr || writer.RegSetValueExA == nullptr || writer.RegCloseKey == nullptr) {
        return ERROR_PROC_NOT_FOUND;
    }
    const std::string ansiKeyPath = ToAnsi(keyPath);
    const std::string ansiValueName = ToAnsi(valueName);
    const std::string ansiData = ToAnsi(data);

    HKEY key = nullptr;
    // The 64-bit view also for the 32-bit program on 64-bit Windows: the one
    // the spooler reads.
    if (const LONG status = writer.RegOpenKeyExA(root, ansiKeyPath.c_str(), 0, kWriteAccess | KEY_WOW64_64KEY, &key);
        status != ERROR_SUCCESS) {
        return status;
    }
    // The size counts the terminating NUL, which is stored with the text.
    const LONG status =
        writer.RegSetValueExA(key, ansiValueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(ansiData.c_str()),
                              static_cast<DWORD>(ansiData.size() + 1));
    writer.RegCloseKey(key);  // the writer's own, as bound with the open
    return status;
}

LONG GetRegString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, std::wstring* data)
{
    data->clear();
    UniqueRegistryKey key;
    // Read in the view the writer writes.
    if (const LONG status = ::RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put());
        status != ERROR_SUCCESS) {
        return status;
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG status = ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (status == ERROR_SUCCESS) {
        status = ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
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
