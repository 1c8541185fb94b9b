#include "banner/bannertoggle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ToggleCase
{
    const char *name;
    bool nowOn;
    int windowHeight;
    std::optional<int> newHeight;
};

TEST(BannerToggle, TurningTheBannerOnEnlargesAWindowTooLowForIt)
{
    // A strip of 330: the window must be higher than 3330.
    const std::vector<ToggleCase> cases{
        {"far too low", true, 3000, 4330},
        {"exactly strip + 3000", true, 3330, 4330},
        {"one twip higher", true, 3331, std::nullopt},
        {"tall window", true, 5500, std::nullopt},
        {"turning it off never resizes", false, 3000, std::nullopt},
    };
    for (const ToggleCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(windowHeightForBanner(c.nowOn, 330, c.windowHeight), c.newHeight);
    }
}

} // namespace
