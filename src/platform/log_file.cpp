#include "platform/log_file.hpp"

#include <windows.h>

#include <string>

#include "platform/error_text.hpp"
#include "platform/system_paths.hpp"
#include "platform/win32_handles.hpp"

namespace portsetup {

namespace {

// True when the open file is a plain file with one name, and that name is the
// path asked for. The log is written as an administrator or SYSTEM: a link
// or a junction planted by a user would otherwise lead those lines, and the
// file's growth, into a file of the system's.
bool IsPlainFileAt(HANDLE file, const std::wstring& askedPath)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information) || information.nNumberOfLinks != 1 ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    std::wstring finalPath = PathFrom([file](wchar_t* buffer, DWORD size) {
        return ::GetFinalPathNameByHandleW(file, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    if (finalPath.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        finalPath.erase(2, 6);  // \\?\UNC\server\share → \\server\share
    } else if (finalPath.rfind(L"\\\\?\\", 0) == 0) {
        finalPath.erase(0, 4);
    }
    const std::wstring fullPath = PathFrom([&askedPath](wchar_t* buffer, DWORD size) {
        return ::GetFullPathNameW(askedPath.c_str(), size, buffer, nullptr);
    });
    // Short (8.3) names spelled out, as the final path has them.
    std::wstring longPath = PathFrom(
        [&fullPath](wchar_t* buffer, DWORD size) { return ::GetLongPathNameW(fullPath.c_str(), buffer, size); });
    if (longPath.empty()) {
        longPath = fullPath;
    }
    return !finalPath.empty() &&
           ::CompareStringOrdinal(finalPath.c_str(), -1, longPath.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

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
    // A reparse point is opened itself, not followed.
    const UniqueFile log(::CreateFileW(file.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    DWORD written = 0;
    if (log && IsPlainFileAt(log.get(), file)) {
        ::WriteFile(log.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

}  // namespace portsetup
