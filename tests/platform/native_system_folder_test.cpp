#include "platform/native_system_folder.hpp"

#include <gtest/gtest.h>

namespace portsetup {
namespace {

TEST(NativeSystemFolder, IsSysnativeOnlyUnderWow64)
{
    struct Case {
        const wchar_t* windowsFolder;
        bool underWow64;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"C:\\Windows", false, L"C:\\Windows\\system32"},
        {L"C:\\Windows", true, L"C:\\Windows\\Sysnative"},
        {L"D:\\", true, L"D:\\Sysnative"},  // Windows at a drive's root
        {L"", true, L""},                   // unknown: nothing to start
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NativeSystemFolder(c.windowsFolder, L"C:\\Windows\\system32", c.underWow64), c.expected)
            << c.underWow64;
    }
}

}  // namespace
}  // namespace portsetup
