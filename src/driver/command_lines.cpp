#include "driver/command_lines.hpp"

namespace portsetup {

namespace {

constexpr std::wstring_view kInstallPrefix = L"rundll32 printui.dll,PrintUIEntry /if /b \"";
constexpr std::wstring_view kRemovalPrefix = L"rundll32 printui.dll,PrintUIEntry /dd /m \"";

}  // namespace

std::wstring InstallCommandLine(std::wstring_view applicationFolder, std::wstring_view portName)
{
    std::wstring line;
    line.append(kInstallPrefix)
        .append(kDriverModelName)
        .append(L"\" /f \"")
        .append(InformationFilePath(applicationFolder))
        .append(L"\" /r \"")
        .append(portName)
        .append(L"\" /m \"")
        .append(kDriverModelName)
        .append(L"\"");
    return line;
}

std::wstring InformationFilePath(std::wstring_view applicationFolder)
{
    return std::wstring(applicationFolder).append(L"\\").append(kInformationFileName);
}

std::wstring RemovalCommandLine()
{
    return std::wstring(kRemovalPrefix).append(kDriverModelName).append(L"\"");
}

}  // namespace portsetup
