#include "banner/bannerscroll.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Runs `ticks` scroll steps from the start position (first label at 0).
std::vector<BannerPositions> run(int ticks, int textWidth, int stripWidth)
{
    std::vector<BannerPositions> seen;
    int left0 = 0;
    for (int i = 0; i < ticks; ++i) {
        const BannerPositions p = scrollBannerStep(left0, textWidth, stripWidth);
        seen.push_back(p);
        left0 = p.left0;
    }
    return seen;
}

TEST(BannerScroll, AShortTitleTakesTheStripsWidthAndJumpsBackToTheLeftEdge)
{
    // Text 2000 wide in a 6000 strip: the copy trails at 6000 + 1000.
    const std::vector<BannerPositions> p = run(48, 2000, 6000);
    EXPECT_EQ(p[0], (BannerPositions{-150, 6000, 6850}));
    EXPECT_EQ(p[1], (BannerPositions{-300, 6000, 6700}));
    EXPECT_EQ(p[45], (BannerPositions{-6900, 6000, 100}));
    // The copy reaches the left edge: the text starts over at the left edge,
    // the copy a strip's width behind it, then at its regular distance again.
    EXPECT_EQ(p[46], (BannerPositions{0, 6000, 6000}));
    EXPECT_EQ(p[47], (BannerPositions{-150, 6000, 6850}));
}

TEST(BannerScroll, ALongTitleScrollsCompletelyOutBeforeItsCopyArrives)
{
    // Text 9000 wide in a 6000 strip.
    const std::vector<BannerPositions> p = run(68, 9000, 6000);
    EXPECT_EQ(p[0], (BannerPositions{-150, 9000, 9850}));
    // After 60 ticks the first copy has left the strip, the second is still
    // 1000 from the left edge.
    EXPECT_EQ(p[59], (BannerPositions{-9000, 9000, 1000}));
    EXPECT_EQ(p[65], (BannerPositions{-9900, 9000, 100}));
    EXPECT_EQ(p[66], (BannerPositions{0, 9000, 9000}));
    EXPECT_EQ(p[67], (BannerPositions{-150, 9000, 9850}));
}

TEST(BannerScroll, TheJumpComesWhenTheCopyTouchesTheLeftEdge)
{
    // 6500 + 1000 is exactly 50 steps: the copy lands on 0 and jumps back.
    const std::vector<BannerPositions> p = run(50, 0, 6500);
    EXPECT_EQ(p[48], (BannerPositions{-7350, 6500, 150}));
    EXPECT_EQ(p[49], (BannerPositions{0, 6500, 6500}));
}

TEST(BannerScroll, TheCycleRepeatsWithTheSamePeriod)
{
    // One cycle: the copy travels the first label's width plus the gap.
    const std::vector<BannerPositions> p = run(3 * 67, 9000, 6000);
    for (size_t i = 67; i < p.size(); ++i)
        EXPECT_EQ(p[i], p[i - 67]) << i;
}

TEST(BannerScroll, AnEmptyBannerInAHiddenStripKeepsCycling)
{
    const std::vector<BannerPositions> p = run(16, 0, 0);
    EXPECT_EQ(p[0], (BannerPositions{-150, 0, 850}));
    EXPECT_EQ(p[6], (BannerPositions{0, 0, 0}));
    EXPECT_EQ(p[7], (BannerPositions{-150, 0, 850}));
    EXPECT_EQ(p[13], (BannerPositions{0, 0, 0}));
}

} // namespace
