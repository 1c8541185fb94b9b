// The S.A.L. level control as a pure function of the readings, the set point
// and the Play button, tick by tick (100 ms each).
#include "mixer/salevaluation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The steps taken over `ticks` ticks at a steady reading, set point 30.
std::vector<int> run(SalState &state, qint64 reading, int ticks, bool play = true)
{
    std::vector<int> steps;
    for (int i = 0; i < ticks; ++i)
        steps.push_back(evaluateSal(state, play, reading, 30));
    return steps;
}

int total(const std::vector<int> &steps, int sign)
{
    int sum = 0;
    for (int s : steps) {
        if (s * sign > 0)
            sum += s;
    }
    return sum;
}

TEST(SalEvaluationTest, SeventyFivePercentStepsDownTwiceEveryHalfSecond)
{
    SalState state;
    const std::vector<int> steps = run(state, 24576, 10); // 75 % of full scale
    EXPECT_EQ(steps, (std::vector<int>{0, 0, 0, 0, -2, 0, 0, 0, 0, -2}));
    // A negative reading counts by its size.
    SalState negative;
    EXPECT_EQ(run(negative, -24576, 5).back(), -2);
}

TEST(SalEvaluationTest, SmallExcessStepsDownOnceAndTheTargetBandDoesNothing)
{
    const std::vector<std::pair<qint64, int>> table{
        {21299, -1}, // 65 %: d 5
        {19988, -1}, // 61 %: d 1
        {19661, 0},  // 60 %: on target
        {18022, 0},  // 55 %
        {16384, 0},  // 50 %: d -10
        {23593, -2}, // 72 %: d 12
        {23265, -2}, // 71 %: d 11
    };
    for (const auto &[reading, step] : table) {
        SalState state;
        EXPECT_EQ(run(state, reading, 5).back(), step) << reading;
        EXPECT_EQ(state.SALQuietCount, 0) << reading;
    }
}

TEST(SalEvaluationTest, FortyFivePercentRaisesOneStepEveryTwoAndAHalfSeconds)
{
    SalState state;
    const std::vector<int> steps = run(state, 14746, 50); // 45 %, 5 s
    EXPECT_EQ(total(steps, 1), 2);
    EXPECT_EQ(total(steps, -1), 0);
    EXPECT_EQ(steps[24], 1); // after 2.5 s
    EXPECT_EQ(steps[49], 1);
    // Silence (no readings at all) is far too quiet as well.
    SalState silent;
    EXPECT_EQ(total(run(silent, 0, 25), 1), 1);
}

TEST(SalEvaluationTest, OnlyTheFirstFourSamplesOfARoundCountAndAveragesRoundHalfToEven)
{
    SalState state;
    // Four loud samples and a silent fifth: the fifth does not count.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(evaluateSal(state, true, 24576, 30), 0);
    EXPECT_EQ(evaluateSal(state, true, 0, 30), -2);
    EXPECT_EQ(state.SALSamples[5], 0);

    EXPECT_EQ(roundHalfEven(10, 4), 2); // 2.5
    EXPECT_EQ(roundHalfEven(14, 4), 4); // 3.5
    EXPECT_EQ(roundHalfEven(13, 4), 3); // 3.25
    EXPECT_EQ(roundHalfEven(15, 4), 4); // 3.75
}

TEST(SalEvaluationTest, NothingIsSampledWhilePlayIsNotPressed)
{
    SalState state;
    run(state, 24576, 3);
    EXPECT_EQ(state.SALSampleIndex, 4);
    const std::vector<int> steps = run(state, 24576, 20, false);
    EXPECT_EQ(total(steps, -1), 0);
    EXPECT_EQ(state.SALSampleIndex, 4);
    EXPECT_EQ(state.SALSamples[4], 0);
    // Pressing Play again goes on where the round stopped.
    run(state, 24576, 1);
    EXPECT_EQ(evaluateSal(state, true, 24576, 30), -2);
}

TEST(SalEvaluationTest, TheSetPointMovesTheTarget)
{
    SalState state;
    // Set point 0: target 90 %; 75 % is 15 points too quiet.
    int ups = 0;
    for (int i = 0; i < 25; ++i)
        ups += evaluateSal(state, true, 24576, 0);
    EXPECT_EQ(ups, 1);
    // Set point 100: target -10 %; any sound is too loud.
    SalState loud;
    for (int i = 0; i < 4; ++i)
        evaluateSal(loud, true, 3277, 100); // 10 %
    EXPECT_EQ(evaluateSal(loud, true, 3277, 100), -2);
}

} // namespace
