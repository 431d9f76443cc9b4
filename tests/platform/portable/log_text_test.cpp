#include "platform/portable/log_text.hpp"

#include <gtest/gtest.h>

namespace portsetup {

// Nothing in a text can end a log line or start another; an argument is
// quoted where its end could not be told otherwise.
TEST(LogText, EscapesControlCharactersAndQuotesWhatNeedsIt)
{
    EXPECT_EQ(EscapedForLog(L"a\r\nb\tc\x1B\x7F\x1F \u00e9\\"), L"a\\r\\nb\\x09c\\x1B\\x7F\\x1F \u00e9\\");
    EXPECT_EQ(QuotedArgument(L"C:\\Setup\\a.log"), L"C:\\Setup\\a.log");
    EXPECT_EQ(QuotedArgument(L""), L"\"\"");
    EXPECT_EQ(QuotedArgument(L"a b"), L"\"a b\"");
    EXPECT_EQ(QuotedArgument(L"COM2\"x"), L"\"COM2\\\"x\"");
    EXPECT_EQ(QuotedArgument(L"COM2\r"), L"\"COM2\r\"");
}

}  // namespace portsetup
