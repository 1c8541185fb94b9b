#include "shell/windowfit.h"

#include <gtest/gtest.h>

TEST(WindowFit, KeepsWhatFitsAndBringsTheRestIntoTheArea)
{
    const QRect area(0, 30, 1280, 990);
    const struct
    {
        QRect wanted;
        QRect shown;
    } cases[] = {
        {{100, 100, 600, 400}, {100, 100, 600, 400}},     // fits: unchanged
        {{1000000, 100, 600, 400}, {680, 100, 600, 400}}, // off to the right
        {{-5000, -5000, 600, 400}, {0, 30, 600, 400}},    // off to the top left
        {{100, 100, 1000000, 400}, {0, 100, 1280, 400}},  // too wide
        {{100, 900, 600, 5000}, {100, 30, 600, 990}},     // too high
        {{1270, 1000, 600, 400}, {680, 620, 600, 400}},   // partly off
    };
    for (const auto &c : cases)
        EXPECT_EQ(fitWindowInto(c.wanted, area), c.shown) << c.wanted.x() << "," << c.wanted.y();

    // A second screen to the left has negative coordinates.
    EXPECT_EQ(fitWindowInto({-900, 50, 600, 400}, QRect(-1024, 0, 1024, 768)),
              QRect(-900, 50, 600, 400));
}
