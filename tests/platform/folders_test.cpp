#include "platform/folders.hpp"

#include <gtest/gtest.h>

namespace portsetup {

TEST(NativeSystemFolder, IsSysnativeOnlyUnderWow64)
{
    EXPECT_EQ(NativeSystemFolder(L"C:\\Windows", L"C:\\Windows\\system32", false), L"C:\\Windows\\system32");
    EXPECT_EQ(NativeSystemFolder(L"C:\\Windows", L"C:\\Windows\\system32", true), L"C:\\Windows\\Sysnative");
    EXPECT_EQ(NativeSystemFolder(L"D:\\", L"D:\\system32", true), L"D:\\Sysnative");
    EXPECT_EQ(NativeSystemFolder(L"", L"C:\\Windows\\system32", true), L"");  // unknown: nothing to start
}

}  // namespace portsetup
