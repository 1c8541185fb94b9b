#include "mixer/silenceskip.h"

#include <gtest/gtest.h>

namespace {

TEST(SilenceSkipTest, SkipsOnlyAfterEightyFivePercentOfASongWithALength)
{
    EXPECT_TRUE(skipOnSilence(90000, 100));
    EXPECT_FALSE(skipOnSilence(50000, 100));
    EXPECT_FALSE(skipOnSilence(85000, 100)); // exactly 85 %: not more
    EXPECT_TRUE(skipOnSilence(85001, 100));
    EXPECT_FALSE(skipOnSilence(99000, 0)); // no length: never
    EXPECT_FALSE(skipOnSilence(0, 100));
    EXPECT_TRUE(skipOnSilence(3000, 3)); // at the very end
}

TEST(SilenceSkipTest, StoredOptionsGiveTheSilenceTimes)
{
    const int expected[] = {0, 500, 1000, 1500, 2000, 3000, 5000};
    for (int option = 0; option < 7; ++option)
        EXPECT_EQ(silenceDetectMs(option), expected[option]) << option;
    EXPECT_EQ(silenceDetectMs(7), 0);
    EXPECT_EQ(silenceDetectMs(-1), 0);
}

} // namespace
