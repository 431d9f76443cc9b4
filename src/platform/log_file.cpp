#include "platform/log_file.hpp"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <winternl.h>

#include <array>
#include <string>
#include <vector>

#include "platform/error_text.hpp"
#include "platform/portable/log_text.hpp"
#include "platform/system.hpp"
#include "platform/system_functions.hpp"

namespace portsetup {

namespace {

// A path as Windows spells it out: full, with long names; "" on failure.
std::wstring LongFullPath(const std::wstring& path)
{
    const std::wstring full = PathFrom(
        [&path](wchar_t* buffer, DWORD size) { return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
    std::wstring longPath =
        PathFrom([&full](wchar_t* buffer, DWORD size) { return ::GetLongPathNameW(full.c_str(), buffer, size); });
    return longPath.empty() ? full : longPath;
}

// True when the open file or folder is no link itself, has one name, and
// that name is the path asked for: a link or junction anywhere on the way
// would give another final path.
bool IsItselfAt(HANDLE handle, const std::wstring& path, bool folder)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
        ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder ||
        (!folder && information.nNumberOfLinks != 1)) {
        return false;
    }
    std::wstring finalPath = PathFrom([handle](wchar_t* buffer, DWORD size) {
        return ::GetFinalPathNameByHandleW(handle, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    if (finalPath.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        finalPath.erase(2, 6);  // \\?\UNC\server\share → \\server\share
    } else if (finalPath.rfind(L"\\\\?\\", 0) == 0) {
        finalPath.erase(0, 4);
    }
    const std::wstring asked = LongFullPath(path);
    return !finalPath.empty() && ::CompareStringOrdinal(finalPath.c_str(), -1, asked.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

LogFile::LogFile(const std::wstring& given)
{
    if (given.empty()) {
        return;
    }
    // %WINDIR% and the like, from the program's environment: no shell may have run the command line.
    std::wstring path = PathFrom([&given](wchar_t* buffer, DWORD size) {
        const DWORD length = ::ExpandEnvironmentStringsW(given.c_str(), buffer, size);
        return length == 0 ? 0 : length - 1;  // the count includes the NUL
    });
    path = path.empty() ? given : path;
    const auto refuse = [this, &path](const std::wstring& why, DWORD error) {
        refused_ = L"The log " + path + L" was not written: " + why +
                   (error != ERROR_SUCCESS ? L" (" + SystemErrorText(error) + L")" : L"") + L".";
    };
    // A relative path would land wherever the run happens to start (a deployment agent's cache).
    const bool drivePath = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    if (!drivePath && !path.starts_with(L"\\\\")) {
        refuse("it is not a full path (such as C:\\Windows\\Logs\\PortSetup.log)"_w, ERROR_SUCCESS);
        return;
    }
    const std::wstring full = LongFullPath(path);
    const std::size_t separator = full.find_last_of(L'\\');
    if (full.empty() || separator == std::wstring::npos || separator + 1 == full.size()) {
        refuse(L"it names no file", ERROR_SUCCESS);
        return;
    }
    const std::wstring folder = full.substr(0, separator == 2 ? 3 : separator);  // "C:\" keeps its backslash
    std::wstring name = full.substr(separator + 1);
    // The folder itself, not what a reparse point in its place leads to.
    const UniqueFile folderHandle(::CreateFileW(folder.c_str(), FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING,
                                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!folderHandle) {
        refuse("its folder cannot be opened"_w, ::GetLastError());
        return;
    }
    if (!IsItselfAt(folderHandle.get(), folder, true)) {
        refuse("its folder is reached through a link (a junction or a symbolic link)"_w, ERROR_SUCCESS);
        return;
    }
    // Created or opened in that folder only, never through a link; an
    // opportunistic lock another program holds on it does not hold this up.
    const auto createFile = Ntdll().NtCreateFile;
    const auto statusToError = Ntdll().RtlNtStatusToDosError;
    if (createFile == nullptr || statusToError == nullptr) {
        refuse("this Windows cannot open it safely"_w, ERROR_PROC_NOT_FOUND);
        return;
    }
    UNICODE_STRING objectName{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                              static_cast<USHORT>(name.size() * sizeof(wchar_t)), name.data()};
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof attributes;
    attributes.RootDirectory = folderHandle.get();
    attributes.ObjectName = &objectName;
    attributes.Attributes = OBJ_CASE_INSENSITIVE;
    // A new log is for SYSTEM, Administrators and this account alone: no user
    // can read it, or hold a lock on it that would stall the run's writes.
    const UniqueLocalMemory security = OwnersOnlySecurity();
    if (!security) {
        refuse("its access list cannot be made"_w, ::GetLastError());
        return;
    }
    attributes.SecurityDescriptor = security.get();
    IO_STATUS_BLOCK status{};
    HANDLE opened = nullptr;
    const NTSTATUS created = createFile(
        &opened, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE, &attributes, &status, nullptr,
        FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ, FILE_OPEN_IF,
        FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT | FILE_COMPLETE_IF_OPLOCKED,
        nullptr, 0);
    if (created < 0) {
        refuse(L"it cannot be opened", statusToError(created));
        return;
    }
    UniqueFile file(opened);
    if (!IsItselfAt(file.get(), full, false)) {
        refuse("it is a link, or a file with another name as well"_w, ERROR_SUCCESS);
        return;
    }
    if (status.Information != FILE_CREATED && !OwnedByAdministratorsOrSelf(file.get())) {
        refuse(
            "it was there before, and its owner is not SYSTEM, Administrators, TrustedInstaller or this account "
            "(a file someone put there first)"_w,
            ERROR_SUCCESS);
        return;
    }
    file_ = std::move(file);
}

void LogFile::Append(std::wstring_view text) const
{
    if (!file_) {
        return;
    }
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    std::wstring line = L"YYYY-MM-DD hh:mm:ss  ";
    // Each field's digits from its last, at the position where it ends.
    for (const auto& [number, end] :
         {std::pair{now.wYear, 4}, std::pair{now.wMonth, 7}, std::pair{now.wDay, 10}, std::pair{now.wHour, 13},
          std::pair{now.wMinute, 16}, std::pair{now.wSecond, 19}}) {
        unsigned value = number;
        for (int at = end - 1; at >= (end == 4 ? 0 : end - 2); --at) {
            line[static_cast<std::size_t>(at)] = static_cast<wchar_t>(L'0' + value % 10);
            value /= 10;
        }
    }
    line += EscapedForLog(text);
    line += L"\r\n";
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), size, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(file_.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

namespace {

// A SID as text ("S-1-5-18"); empty when it cannot be told.
std::wstring SidText(PSID sid)
{
    UniqueLocalMemory text;
    if (sid == nullptr || !::ConvertSidToStringSidW(sid, reinterpret_cast<wchar_t**>(text.put()))) {
        return {};
    }
    return static_cast<const wchar_t*>(text.get());
}

// The account this process runs as.
std::wstring ProcessAccount()
{
    UniqueKernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return {};
    }
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size + sizeof(TOKEN_USER));
    if (!::GetTokenInformation(token.get(), TokenUser, user.data(), static_cast<DWORD>(user.size()), &size)) {
        return {};
    }
    return SidText(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

}  // namespace

bool OwnedByAdministratorsOrSelf(HANDLE file)
{
    PSID owner = nullptr;
    UniqueLocalMemory descriptor;  // holds the owner
    if (::GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                          descriptor.put()) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring ownerText = SidText(owner);
    const std::array<std::wstring, 4> trusted{
        L"S-1-5-18",                                                         // SYSTEM
        L"S-1-5-32-544",                                                     // Administrators
        "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"_w,  // TrustedInstaller
        ProcessAccount()};
    for (const std::wstring& account : trusted) {
        if (!ownerText.empty() && ownerText == account) {
            return true;
        }
    }
    return false;
}

UniqueLocalMemory OwnersOnlySecurity()
{
    const std::wstring account = ProcessAccount();
    // A protected access list (P): full access for SYSTEM, Administrators and this account.
    const std::wstring text = L"D:P(A;;FA;;;SY)(A;;FA;;;BA)" + (account.empty() ? L"" : L"(A;;FA;;;" + account + L")");
    UniqueLocalMemory descriptor;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, descriptor.put(),
                                                                nullptr)) {
        return {};
    }
    return descriptor;
}

}  // namespace portsetup
