#include "platform/dll_search.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/system_paths.hpp"

namespace portsetup {
namespace {

// Loads a DLL by bare name as a system library would, and unloads it again;
// true when it was found. The error of a failed load is kept in *error.
bool LoadsByName(const wchar_t* name, DWORD* error)
{
    const HMODULE module = ::LoadLibraryW(name);
    *error = ::GetLastError();
    if (module == nullptr) {
        return false;
    }
    ::FreeLibrary(module);
    return true;
}

// A DLL planted beside the program (the build puts planted_probe.dll beside
// this test) and one in the current folder are found before the search is
// restricted and not after it, while the system folder's DLLs still are.
TEST(DllSearch, PlantedDllsAreNotFoundOnceRestricted)
{
    wchar_t temp[MAX_PATH];
    ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring currentFolder = std::wstring(temp) + L"portsetup-current-folder";
    ::CreateDirectoryW(currentFolder.c_str(), nullptr);
    const std::wstring besideProgram = ApplicationFolder() + L"\\planted_probe.dll";
    ASSERT_TRUE(::CopyFileW(besideProgram.c_str(), (currentFolder + L"\\current_probe.dll").c_str(), FALSE));
    ASSERT_TRUE(::SetCurrentDirectoryW(currentFolder.c_str()));

    DWORD error = 0;
    ASSERT_TRUE(LoadsByName(L"planted_probe.dll", &error)) << "the unrestricted search should find it: " << error;
    ASSERT_TRUE(LoadsByName(L"current_probe.dll", &error)) << "the unrestricted search should find it: " << error;
    ASSERT_EQ(::GetModuleHandleW(L"planted_probe.dll"), nullptr);
    ASSERT_EQ(::GetModuleHandleW(L"current_probe.dll"), nullptr);

    RestrictDllSearchToSystemFolder();

    EXPECT_FALSE(LoadsByName(L"planted_probe.dll", &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_FALSE(LoadsByName(L"current_probe.dll", &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_TRUE(LoadsByName(L"mpr.dll", &error)) << error;
}

}  // namespace
}  // namespace portsetup
