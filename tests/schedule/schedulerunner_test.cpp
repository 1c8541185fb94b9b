// The runner against a recording player: what the clock does and what the
// user does, and what it costs while nothing happens.
#include "schedule/scheduleclock.h"
#include "schedule/scheduleplayer.h"
#include "schedule/schedulerunner.h"
#include "support/virtualscheduleclock.h"

#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

class RecordingSchedulePlayer final : public SchedulePlayer
{
public:
    bool isPlaying = false;
    QString shown;
    QStringList lists{QStringLiteral("A"), QStringLiteral("B")};
    QStringList calls;

    bool playing() const override { return isPlaying; }
    QString shownList() const override { return shown; }
    int songCount(const QString &list) const override { return lists.contains(list) ? 5 : -1; }
    void setOrder(bool random) override { calls << (random ? "order random" : "order in order"); }
    void fadeOutAndStop() override
    {
        calls << QStringLiteral("fade");
        isPlaying = false;
    }
    bool switchAndPlay(const QString &list, bool) override
    {
        calls << QStringLiteral("play ") + list;
        shown = list;
        isPlaying = true;
        return true;
    }
    void report(const QString &text) override { calls << QStringLiteral("report ") + text; }
    bool busy() const override { return false; }
};

const QTimeZone kBerlin("Europe/Berlin");

QDateTime berlin(int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2026, 6, day), QTime(hour, minute), kBerlin).toUTC();
}

// Every day: A at 07:00, B at 12:00 (fading the song out), closed at 18:00.
SchedulePlan dayPlan()
{
    SchedulePlan plan;
    plan.follow = true;
    for (DayPlan &day : plan.week)
        day = {ScheduleSlot::playing(QTime(7, 0), QStringLiteral("A")),
               ScheduleSlot::playing(QTime(12, 0), QStringLiteral("B"), false, false),
               ScheduleSlot::closedAt(QTime(18, 0))};
    return plan;
}

struct ClockCase
{
    const char *name;
    std::function<void(VirtualScheduleClock &, ScheduleRunner &)> move;
    // What the player was told after the move, and what plays then.
    QStringList calls;
    const char *status;
};

void PrintTo(const ClockCase &c, std::ostream *out)
{
    *out << c.name;
}

class ScheduleRunnerClockTest : public ::testing::TestWithParam<ClockCase>
{};

TEST_P(ScheduleRunnerClockTest, LooksAgainAtWhatRunsNowAndStartsItOnce)
{
    // Monday 15 June 2026, 10:00 in Berlin; A plays.
    VirtualScheduleClock clock(berlin(15, 10), kBerlin);
    RecordingSchedulePlayer player;
    ScheduleRunner runner(clock, player);
    runner.setPlan(dayPlan());
    runner.start();
    ASSERT_EQ(player.calls, QStringList{QStringLiteral("play A")});
    EXPECT_EQ(runner.statusText(), QStringLiteral("Schedule: A until 12:00, then B"));
    player.calls.clear();

    GetParam().move(clock, runner);
    // A second look at the same moment changes nothing.
    runner.checkClock();
    clock.advance(1000);
    runner.checkClock();
    EXPECT_EQ(player.calls, GetParam().calls);
    EXPECT_EQ(runner.statusText(), QLatin1String(GetParam().status));
    EXPECT_TRUE(runner.tmrCheck()->isActive());
    EXPECT_EQ(runner.tmrCheck()->interval(), ScheduleRunner::kCheckIntervalMs);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, ScheduleRunnerClockTest,
    ::testing::Values(
        ClockCase{"TheSlotStartComes",
                  [](VirtualScheduleClock &clock, ScheduleRunner &) { clock.advance(2 * 3600'000); },
                  {QStringLiteral("fade"), QStringLiteral("play B")},
                  "Schedule: B until 18:00, then closed"},
        ClockCase{"ASetClockTheSystemTells",
                  [](VirtualScheduleClock &clock, ScheduleRunner &) { clock.jump(9 * 3600'000); },
                  {QStringLiteral("fade")}, "Schedule: closed until Tue 07:00"},
        // Only the slow check sees it: at most a minute later.
        ClockCase{"ASetClockNobodyTells",
                  [](VirtualScheduleClock &clock, ScheduleRunner &runner) {
                      clock.jump(3 * 3600'000, false);
                      EXPECT_TRUE(clock.wake().has_value());
                      runner.checkClock();
                  },
                  {QStringLiteral("fade"), QStringLiteral("play B")},
                  "Schedule: B until 18:00, then closed"},
        ClockCase{"AClockSetBackABit",
                  [](VirtualScheduleClock &clock, ScheduleRunner &) { clock.jump(-30'000); },
                  {}, "Schedule: A until 12:00, then B"},
        ClockCase{"ASleepOverTwoStarts",
                  [](VirtualScheduleClock &clock, ScheduleRunner &) {
                      clock.sleep(9 * 3600'000);
                  },
                  {QStringLiteral("fade")}, "Schedule: closed until Tue 07:00"},
        // 10:00 in Berlin is 04:00 in New York: closed since 18:00 there.
        ClockCase{"AnotherTimeZone",
                  [](VirtualScheduleClock &clock, ScheduleRunner &runner) {
                      clock.setZone(QTimeZone("America/New_York"));
                      runner.checkClock();
                  },
                  {QStringLiteral("fade")}, "Schedule: closed until 07:00"},
        ClockCase{"TheUserStops",
                  [](VirtualScheduleClock &clock, ScheduleRunner &runner) {
                      runner.userTookOver();
                      clock.advance(3600'000);
                  },
                  {}, "Schedule held until 12:00"},
        ClockCase{"TheUserStopsAndTheNextSlotComes",
                  [](VirtualScheduleClock &clock, ScheduleRunner &runner) {
                      runner.userTookOver();
                      clock.advance(2 * 3600'000);
                  },
                  {QStringLiteral("fade"), QStringLiteral("play B")},
                  "Schedule: B until 18:00, then closed"},
        ClockCase{"OffAndOnAfterTheUserTookOver",
                  [](VirtualScheduleClock &, ScheduleRunner &runner) {
                      runner.userTookOver();
                      runner.setFollowing(false);
                      runner.setFollowing(true);
                  },
                  {QStringLiteral("order in order")}, "Schedule: A until 12:00, then B"}),
    [](const ::testing::TestParamInfo<ClockCase> &info) { return std::string(info.param.name); });

TEST(ScheduleRunnerTest, OffItWaitsForNothingAndAMissingListLetsTheMusicGoOn)
{
    VirtualScheduleClock clock(berlin(15, 11, 59), kBerlin);
    RecordingSchedulePlayer player;
    ScheduleRunner runner(clock, player);
    SchedulePlan plan = dayPlan();
    plan.follow = false;
    runner.setPlan(plan);
    runner.start();
    EXPECT_FALSE(clock.wake().has_value());
    EXPECT_FALSE(runner.tmrCheck()->isActive());
    EXPECT_EQ(runner.statusText(), QString());

    // On: A starts; a minute later B is missing: reported once, A plays on.
    runner.setFollowing(true);
    player.lists.removeAll(QStringLiteral("B"));
    clock.advance(60'000);
    clock.advance(3600'000);
    runner.checkClock();
    ASSERT_EQ(player.calls.size(), 2);
    EXPECT_EQ(player.calls[0], QStringLiteral("play A"));
    EXPECT_EQ(player.calls[1], QStringLiteral("report Schedule: the play list \"B\" of the slot at "
                                              "12:00 is missing; the music goes on"));
    EXPECT_TRUE(player.isPlaying);

    // A song that ends while no slot waits is left to the player.
    EXPECT_FALSE(runner.songEnded());
    runner.setFollowing(false);
    EXPECT_FALSE(clock.wake().has_value());
    EXPECT_FALSE(runner.tmrCheck()->isActive());
}

TEST(ScheduleRunnerTest, ASlotThatLetsTheSongFinishStartsAtTheSongsEnd)
{
    VirtualScheduleClock clock(berlin(15, 6, 59), kBerlin);
    RecordingSchedulePlayer player;
    ScheduleRunner runner(clock, player);
    runner.setPlan(dayPlan());
    runner.start();
    EXPECT_EQ(runner.statusText(), QStringLiteral("Schedule: closed until 07:00"));
    // Music the user started while closed plays until A's start, then ends
    // its song.
    player.isPlaying = true;
    player.shown = QStringLiteral("B");
    clock.advance(60'000);
    EXPECT_TRUE(runner.waiting().has_value());
    EXPECT_EQ(player.calls, QStringList{});
    EXPECT_TRUE(runner.songEnded());
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("play A")});
    EXPECT_FALSE(runner.songEnded());
}

} // namespace

namespace {

TEST(SystemScheduleClockTest, WakesAtAWallClockInstantAndNotAfterACancel)
{
    SystemScheduleClock clock;
    QSignalSpy due(&clock, &ScheduleClock::due);
    // Not before the instant asked for, read on the same wall clock (the
    // monotonic milliseconds since the clock was made could read one short:
    // both clocks are read in whole milliseconds).
    const QDateTime instant = clock.now().addMSecs(50);
    clock.wakeAt(instant);
    ASSERT_TRUE(due.wait(5000));
    EXPECT_GE(clock.now(), instant);
    EXPECT_GE(clock.monotonicMs(), 49);

    clock.wakeAt(clock.now().addMSecs(50));
    clock.cancelWake();
    EXPECT_FALSE(due.wait(300));
    EXPECT_EQ(due.size(), 1);
}

} // namespace
