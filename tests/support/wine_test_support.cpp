#include "support/wine_test_support.hpp"

#include <cstdio>
#include <sstream>

#include "settings/setting_lists.hpp"

namespace portsetup::testing {

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring MessageBoxText(HWND box)
{
    std::wstring text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Static") {
            text += TextOf(child);
        }
    }
    return text;
}

std::wstring Widen(const std::string& utf8)
{
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

std::string Narrow(const std::wstring& text)
{
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr,
                          nullptr);
    return narrow;
}

LaunchLog::LaunchLog()
{
    wchar_t folder[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, folder);
    wchar_t file[MAX_PATH + 1];
    ::GetTempFileNameW(folder, L"rdl", 0, file);
    path_ = file;
    ::DeleteFileW(path_.c_str());
    ::SetEnvironmentVariableW(L"RUNDLL32_STANDIN_LOG", path_.c_str());
}

LaunchLog::~LaunchLog()
{
    ::SetEnvironmentVariableW(L"RUNDLL32_STANDIN_LOG", nullptr);
    ::DeleteFileW(path_.c_str());
}

std::vector<LaunchRecord> LaunchLog::Records() const
{
    std::vector<LaunchRecord> records;
    std::FILE* file = ::_wfopen(path_.c_str(), L"rb");
    if (file == nullptr) {
        return records;
    }
    std::string content;
    char buffer[4096];
    for (std::size_t read = 0; (read = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        content.append(buffer, read);
    }
    std::fclose(file);

    std::istringstream lines(content);
    for (std::string line; std::getline(lines, line);) {
        LaunchRecord record;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) {
            const std::size_t equals = field.find('=');
            const std::string key = field.substr(0, equals);
            const std::string value = equals == std::string::npos ? "" : field.substr(equals + 1);
            if (key == "image") {
                record.image = Widen(value);
            } else if (key == "show") {
                record.show = std::stoi(value);
            } else if (key == "cmdline") {
                record.commandLine = Widen(value);
            }
        }
        records.push_back(record);
    }
    return records;
}

std::vector<LaunchRecord> LaunchLog::WaitFor(std::size_t count) const
{
    // Starting a process under Wine takes a moment; the bound only keeps a
    // broken run from hanging.
    for (int attempt = 0; attempt < 600; ++attempt) {
        std::vector<LaunchRecord> records = Records();
        if (records.size() >= count) {
            ::Sleep(100);  // lets a start that was not expected show up too
            return Records();
        }
        PumpMessages();
        ::Sleep(50);
    }
    return Records();
}

int PumpMessages()
{
    int quitCode = -1;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return quitCode;
}

std::map<std::wstring, std::wstring> PortsValues()
{
    std::map<std::wstring, std::wstring> values;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPortsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return values;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        wchar_t data[1024];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (::RegEnumValueW(key, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        values[std::wstring(name, nameLength)] = std::wstring(data, dataSize / sizeof(wchar_t)).c_str();
    }
    ::RegCloseKey(key);
    return values;
}

}  // namespace portsetup::testing
