#include "dialog/form_layout.hpp"

#include <gtest/gtest.h>

namespace portsetup {
namespace {

// Half the room left over, a half rounded away from zero: a window one pixel
// narrower than the screen starts at 1, one wider at -1.
TEST(FormLayout, CentredOriginRoundsHalvesAwayFromZero)
{
    const int cases[][3] = {{1024, 335, 345}, {1024, 336, 344}, {800, 799, 1}, {800, 800, 0},
                            {800, 801, -1},   {800, 803, -2},   {800, 804, -2}};
    for (const auto& [screen, window, origin] : cases) {
        EXPECT_EQ(CentredOrigin(screen, window), origin) << screen << " " << window;
    }
}

}  // namespace
}  // namespace portsetup
