#include "platform/log_file.hpp"

#include <windows.h>

#include <string>

#include "platform/error_text.hpp"
#include "platform/win32_handles.hpp"

namespace portsetup {

void AppendLogLine(const std::wstring& file, std::wstring_view text)
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::wstring line = DecimalText(now.wYear, 4) + L"-" + DecimalText(now.wMonth, 2) + L"-" +
                              DecimalText(now.wDay, 2) + L" " + DecimalText(now.wHour, 2) + L":" +
                              DecimalText(now.wMinute, 2) + L":" + DecimalText(now.wSecond, 2) + L"  " +
                              std::wstring(text) + L"\r\n";
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), size, nullptr, nullptr);
    const UniqueKernelHandle log(::CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (log.get() != INVALID_HANDLE_VALUE) {
        ::WriteFile(log.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

}  // namespace portsetup
