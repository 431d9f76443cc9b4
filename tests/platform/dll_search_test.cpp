#include "platform/dll_search.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/system_paths.hpp"

namespace portsetup {
namespace {

// A DLL planted beside the program (the build puts planted_probe.dll beside
// this test) and one in the current folder are found before the search is
// restricted and not after it, while the system folder's DLLs still are.
TEST(DllSearch, PlantedDllsAreNotFoundOnceRestricted)
{
    wchar_t temp[MAX_PATH];
    ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring currentFolder = std::wstring(temp) + L"portsetup-current-folder";
    ::CreateDirectoryW(currentFolder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW((ApplicationFolder() + L"\\planted_probe.dll").c_str(),
                            (currentFolder + L"\\current_probe.dll").c_str(), FALSE));
    ASSERT_TRUE(::SetCurrentDirectoryW(currentFolder.c_str()));
    // The error of loading a DLL by bare name, as a system library would; 0 when found.
    const auto loadError = [](const wchar_t* name) {
        const HMODULE module = ::LoadLibraryW(name);
        return module == nullptr ? ::GetLastError() : (::FreeLibrary(module), 0u);
    };
    const wchar_t* planted[] = {L"planted_probe.dll", L"current_probe.dll"};
    for (const wchar_t* name : planted) {
        ASSERT_EQ(loadError(name), 0u) << "an unrestricted search finds it";
    }
    RestrictDllSearchToSystemFolder();
    for (const wchar_t* name : planted) {
        EXPECT_EQ(loadError(name), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    }
    EXPECT_EQ(loadError(L"mpr.dll"), 0u);
}

}  // namespace
}  // namespace portsetup
