// The meter's behaviour on a virtual clock with scripted readings.
#include "vu/manualclock.h"
#include "vu/scriptedpeaksource.h"
#include "vu/vumeter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Readings of a given level.
constexpr qint32 level10()
{
    return 27307;
} // 27307 x 12 / 32768 = 10.0
constexpr qint32 level3()
{
    return 8192;
} // 3.0

class VuMeterTest : public ::testing::Test
{
protected:
    VuMeterTest()
        : meter(std::make_unique<ScriptedPeakSource>(script), clock.factory())
    {
        VuMeter::Events events;
        events.leftPeak = [this] { log.push_back("LeftPeak"); };
        events.rightPeak = [this] { log.push_back("RightPeak"); };
        events.silenceDetected = [this] {
            log.push_back("SilenceDetected");
            silenceAt.push_back(clock.now());
        };
        events.peakValue = [this](qint32 value) {
            log.push_back("PeakValue");
            values.push_back(value);
        };
        meter.setEvents(events);
    }

    // The stored values of the mixer window: 10 ms updates, no peak hold.
    void startFast(int silenceMs = 0)
    {
        meter.setHoldDelay(1200);
        meter.setHoldPeaks(false);
        meter.setPriority(10);
        meter.setSilenceDetect(silenceMs);
        meter.StartVU();
    }

    std::vector<int> lit(VuMeter::Channel channel) const
    {
        std::vector<int> indexes;
        for (int i = 0; i < VuMeter::kSegments; ++i) {
            if (meter.isLit(channel, i))
                indexes.push_back(i);
        }
        return indexes;
    }

    void reading(qint32 left, qint32 right)
    {
        script.left = left;
        script.right = right;
    }

    ScriptedPeakSource::Script script;
    ManualClock clock;
    VuMeter meter;
    std::vector<std::string> log;
    std::vector<qint64> silenceAt;
    std::vector<qint32> values;
};

TEST(VuLevelTest, ScalesReadingsToTwelveRoundingHalvesToEven)
{
    const std::vector<std::pair<qint64, int>> table{
        {0, 0},      {1365, 0},   {1366, 1},   {-1366, 1},   {2000, 1},     {4096, 2},   {12288, 4},
        {31402, 11}, {31403, 12}, {32767, 12}, {-32768, 12}, {-100000, 12}, {100000, 12}};
    for (const auto &[reading, level] : table)
        EXPECT_EQ(VuMeter::level(reading), level) << reading;
}

TEST_F(VuMeterTest, ANewMeterIsIdleWithItsCreationIntervals)
{
    EXPECT_FALSE(meter.HoldPeaks());
    EXPECT_EQ(meter.HoldDelay(), 0);
    EXPECT_EQ(meter.Priority(), 0);
    EXPECT_EQ(meter.SilenceDetect(), 0);
    EXPECT_EQ(meter.tmrUpdateVU().interval(), 200);
    EXPECT_EQ(meter.tmrResetPeaks().interval(), 1000);
    EXPECT_EQ(meter.tmrSilenceDetector().interval(), 0);
    clock.advance(5000);
    EXPECT_EQ(script.reads, 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(VuMeterTest, SilenceIsReportedAfterItsTimeAndThenEverySecond)
{
    reading(0, 0);
    startFast(1000);
    clock.advance(1005);
    EXPECT_TRUE(silenceAt.empty());
    clock.advance(5);
    ASSERT_EQ(silenceAt.size(), 1u);
    // The countdown starts with the first tick (10 ms) that reads silence.
    EXPECT_EQ(silenceAt[0], 1010);
    clock.advance(2000);
    EXPECT_EQ(silenceAt, (std::vector<qint64>{1010, 2010, 3010}));
}

TEST_F(VuMeterTest, ALeftReadingAboveLevelZeroKeepsRestartingTheCountdown)
{
    reading(2000, 0);
    startFast(1000);
    clock.advance(5000);
    EXPECT_TRUE(silenceAt.empty());
    EXPECT_TRUE(meter.tmrSilenceDetector().isEnabled()); // the right channel re-enables it

    // Silence from now on: the event comes one second after the last sound.
    reading(0, 0);
    clock.advance(1000);
    ASSERT_EQ(silenceAt.size(), 1u);
    EXPECT_EQ(silenceAt[0], 6000);

    // Sound on the right channel stops the countdown.
    reading(0, 1400);
    clock.advance(3000);
    EXPECT_EQ(silenceAt.size(), 1u);
    EXPECT_FALSE(meter.tmrSilenceDetector().isEnabled());
}

TEST_F(VuMeterTest, FullScaleLightsElevenSegmentsAndRaisesThePeakEvents)
{
    reading(-32768, 31403);
    startFast();
    clock.advance(10);
    EXPECT_EQ(log, (std::vector<std::string>{"LeftPeak", "RightPeak", "PeakValue"}));
    EXPECT_EQ(values, std::vector<qint32>{-32768});
    clock.advance(10);
    // Without peak hold a tick ends with segments 0 to L - 1 lit.
    EXPECT_EQ(lit(VuMeter::Left), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(lit(VuMeter::Right), lit(VuMeter::Left));
    EXPECT_EQ(meter.PeakLeft(), VuMeter::kNothingHeld);

    reading(31402, 0);
    clock.advance(10);
    EXPECT_EQ(std::count(log.begin(), log.end(), "LeftPeak"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "RightPeak"), 2);
}

TEST_F(VuMeterTest, WithoutPeakHoldAFallingBarLeavesNothingAbove)
{
    startFast();
    reading(level10(), level10());
    clock.advance(10);
    reading(level3(), 0);
    clock.advance(10);
    EXPECT_EQ(lit(VuMeter::Left), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(lit(VuMeter::Right).empty());
}

TEST_F(VuMeterTest, WithPeakHoldTheTopSegmentStaysUntilThePeakReset)
{
    meter.setHoldDelay(1200);
    meter.setHoldPeaks(true);
    meter.setPriority(10);
    meter.StartVU();
    reading(level10(), 0);
    clock.advance(10);
    reading(level3(), 0);
    clock.advance(10);
    EXPECT_EQ(lit(VuMeter::Left), (std::vector<int>{0, 1, 2, 10}));
    EXPECT_EQ(meter.PeakLeft(), 10);

    clock.advance(1200 - 20 - 1);
    EXPECT_EQ(lit(VuMeter::Left), (std::vector<int>{0, 1, 2, 10}));
    clock.advance(1); // the reset tick at 1200 ms
    EXPECT_EQ(lit(VuMeter::Left), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(meter.PeakLeft(), 0);
    clock.advance(10); // the next reading is held again
    EXPECT_EQ(lit(VuMeter::Left), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(meter.PeakLeft(), 3);
}

TEST_F(VuMeterTest, SilenceDetectZeroEndsTheEventsForGood)
{
    reading(0, 0);
    startFast(500);
    clock.advance(1010);
    EXPECT_EQ(silenceAt.size(), 2u);
    meter.setSilenceDetect(0);
    clock.advance(5000);
    EXPECT_EQ(silenceAt.size(), 2u);
    EXPECT_FALSE(meter.tmrSilenceDetector().isEnabled());
}

TEST_F(VuMeterTest, StopDarkensBothBarsAndStopsTheSilenceTimer)
{
    reading(20000, 20000);
    startFast(1000);
    clock.advance(10);
    reading(0, 0);
    clock.advance(10);
    reading(20000, 20000);
    clock.advance(10);
    ASSERT_FALSE(lit(VuMeter::Left).empty());
    reading(0, 0);
    clock.advance(10);
    meter.StopVU();
    EXPECT_TRUE(lit(VuMeter::Left).empty());
    EXPECT_TRUE(lit(VuMeter::Right).empty());
    EXPECT_FALSE(meter.tmrSilenceDetector().isEnabled());
    const int reads = script.reads;
    clock.advance(3000);
    EXPECT_EQ(script.reads, reads);
    EXPECT_TRUE(silenceAt.empty());
}

TEST_F(VuMeterTest, WithoutAPeakMeterTheBarsStayDarkAndNothingIsRaised)
{
    script.available = false;
    reading(32767, 32767);
    startFast(500);
    clock.advance(3000);
    EXPECT_GT(script.reads, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(lit(VuMeter::Left).empty());
}

TEST_F(VuMeterTest, StoredPropertiesUseTheirDefaultsAndLeaveThemOutOnWrite)
{
    meter.ReadProperties({});
    EXPECT_EQ(meter.HoldDelay(), 500);
    EXPECT_TRUE(meter.HoldPeaks());
    EXPECT_EQ(meter.Priority(), 200);
    EXPECT_EQ(meter.SilenceDetect(), 0);
    EXPECT_TRUE(meter.WriteProperties().isEmpty());
    // The timers took their intervals from the property writes.
    EXPECT_EQ(meter.tmrResetPeaks().interval(), 500);
    EXPECT_TRUE(meter.tmrResetPeaks().isEnabled());
    EXPECT_EQ(meter.tmrUpdateVU().interval(), 200);

    QVariantMap stored{{"HoldPeaksDelayVal", 1200}, {"HoldPeaksVal", false}, {"PriorityVal", 10}};
    meter.ReadProperties(stored);
    EXPECT_EQ(meter.WriteProperties(), stored);
    meter.setSilenceDetect(5000);
    meter.setPriority(200);
    const QVariantMap written = meter.WriteProperties();
    EXPECT_EQ(written.value("SilenceDetectVal").toInt(), 5000);
    EXPECT_FALSE(written.contains("PriorityVal"));
}

} // namespace
