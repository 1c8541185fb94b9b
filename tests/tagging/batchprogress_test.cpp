#include "tagging/batchprogress.h"

#include <gtest/gtest.h>

TEST(BatchProgressGate, ShowsForBatchesEstimatedAtASecondOrMore)
{
    // 300 ms for the first of ten files: three seconds expected.
    BatchProgress slow(1000, 10);
    EXPECT_FALSE(slow.shouldShow(1100, 1)); // too early to estimate
    EXPECT_TRUE(slow.shouldShow(1300, 1));
    EXPECT_TRUE(slow.shouldShow(1301, 10)); // once shown, it stays

    // 50 ms per file of ten: half a second, never shown.
    BatchProgress quick(0, 10);
    for (int done = 1; done <= 10; ++done)
        EXPECT_FALSE(quick.shouldShow(50 * done, done)) << done;

    // Slower than estimated: shown once a second has passed.
    BatchProgress stalled(0, 100);
    EXPECT_FALSE(stalled.shouldShow(500, 90));
    EXPECT_TRUE(stalled.shouldShow(1000, 91));

    // A finished batch shows nothing.
    BatchProgress finished(0, 2);
    EXPECT_FALSE(finished.shouldShow(5000, 2));
}

TEST(BatchProgressGate, YieldsAtMostEveryTwentyFiveMilliseconds)
{
    BatchProgress batch(0, 1000);
    EXPECT_FALSE(batch.shouldYield(24));
    EXPECT_TRUE(batch.shouldYield(25));
    EXPECT_FALSE(batch.shouldYield(49));
    EXPECT_TRUE(batch.shouldYield(50));
}
