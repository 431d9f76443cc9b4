// Stands in for the system's rundll32.exe in a test prefix: appends one line
// to the file named by RUNDLL32_STANDIN_LOG with its own path, its show
// state and its command line, in UTF-8, and ends.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text)
{
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*showCommand*/)
{
    wchar_t logPath[32768];
    if (::GetEnvironmentVariableW(L"RUNDLL32_STANDIN_LOG", logPath, 32768) == 0) {
        return 3;
    }
    std::wstring image(32768, L'\0');
    image.resize(::GetModuleFileNameW(nullptr, image.data(), static_cast<DWORD>(image.size())));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    const unsigned show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : 0xFFFFu;

    const std::string line =
        "image=" + Utf8(image) + "\tshow=" + std::to_string(show) + "\tcmdline=" + Utf8(::GetCommandLineW()) + "\n";
    std::FILE* log = ::_wfopen(logPath, L"ab");
    if (log == nullptr) {
        return 4;
    }
    std::fwrite(line.data(), 1, line.size(), log);
    std::fclose(log);
    return 0;
}
