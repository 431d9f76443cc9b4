#include "platform/unique_handle.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace portsetup {
namespace {

std::vector<int> closed;

struct RecordingCloser {
    void operator()(int handle) const noexcept { closed.push_back(handle); }
};
using Owned = UniqueHandle<int, RecordingCloser>;

class UniqueHandleTest : public ::testing::Test {
protected:
    void SetUp() override { closed.clear(); }
};

TEST_F(UniqueHandleTest, ClosesOnceWhenItGoes)
{
    {
        const Owned owned(7);
        EXPECT_TRUE(owned);
        EXPECT_EQ(owned.get(), 7);
    }
    EXPECT_EQ(closed, std::vector<int>{7});
}

TEST_F(UniqueHandleTest, EmptyIsNeverClosed)
{
    {
        const Owned empty;
        EXPECT_FALSE(empty);
    }
    EXPECT_TRUE(closed.empty());
}

TEST_F(UniqueHandleTest, MovingHandsOverWithoutClosing)
{
    Owned first(3);
    Owned second(std::move(first));
    EXPECT_TRUE(closed.empty());
    EXPECT_EQ(second.get(), 3);
    Owned third(4);
    third = std::move(second);
    EXPECT_EQ(closed, std::vector<int>{4});
    third.reset();
    EXPECT_EQ(closed, (std::vector<int>{4, 3}));
}

TEST_F(UniqueHandleTest, PutClosesTheOldHandleAndReleaseKeepsItOpen)
{
    Owned owned(5);
    *owned.put() = 6;
    EXPECT_EQ(closed, std::vector<int>{5});
    EXPECT_EQ(owned.release(), 6);
    EXPECT_FALSE(owned);
    EXPECT_EQ(closed, std::vector<int>{5});
}

}  // namespace
}  // namespace portsetup
