// Which slot runs when, over whole years of two zones with daylight saving.
#include "schedule/scheduletimeline.h"

#include <gtest/gtest.h>

#include <QSet>

#include <ostream>

namespace {

QDateTime utc(const char *text)
{
    QDateTime at = QDateTime::fromString(QLatin1String(text), Qt::ISODate);
    at.setTimeSpec(Qt::UTC);
    return at;
}

// Every day: a late list at 01:30 and a night list at 02:30 (inside the
// repeated or the skipped hour of the two zones), a morning and a lunch
// list, closed from 22:00; Sundays stay open, so Sunday night runs across
// midnight into Monday. Christmas Eve closes at 14:00, Christmas Day is
// closed.
SchedulePlan shopPlan()
{
    SchedulePlan plan;
    plan.follow = true;
    for (int day = 0; day < SchedulePlan::kDays; ++day) {
        DayPlan &daySlots = plan.week[static_cast<size_t>(day)];
        daySlots << ScheduleSlot::playing(QTime(1, 30), QStringLiteral("Late"))
              << ScheduleSlot::playing(QTime(2, 30), QStringLiteral("Night"))
              << ScheduleSlot::playing(QTime(7, 0), QStringLiteral("Morning"))
              << ScheduleSlot::playing(QTime(11, 30), QStringLiteral("Lunch"), true);
        if (day != 6)
            daySlots << ScheduleSlot::closedAt(QTime(22, 0));
    }
    plan.exceptions[QDate(2026, 12, 24)] = {ScheduleSlot::playing(QTime(7, 0), QStringLiteral("Xmas")),
                                            ScheduleSlot::closedAt(QTime(14, 0))};
    plan.exceptions[QDate(2026, 12, 25)] = {ScheduleSlot::closedAt(QTime(0, 0))};
    return plan;
}

QString label(const std::optional<SlotStart> &start)
{
    if (!start)
        return QStringLiteral("-");
    return start->slot.closed ? QStringLiteral("Closed") : start->slot.list;
}

struct Moment
{
    const char *zone;
    const char *at; // UTC
    const char *running;
    const char *runningSince; // UTC
    const char *next;
    const char *nextAt; // UTC
};

void PrintTo(const Moment &m, std::ostream *out)
{
    *out << m.zone << " at " << m.at;
}

class ScheduleTimelineMomentTest : public ::testing::TestWithParam<Moment>
{};

TEST_P(ScheduleTimelineMomentTest, RunningSlotAndNextStart)
{
    const Moment &m = GetParam();
    const QTimeZone zone(m.zone);
    ASSERT_TRUE(zone.isValid());
    const SchedulePosition position =
        ScheduleTimeline::positionAt(shopPlan(), utc(m.at), zone);
    EXPECT_EQ(label(position.running), QLatin1String(m.running));
    ASSERT_TRUE(position.running);
    EXPECT_EQ(position.running->at, utc(m.runningSince));
    EXPECT_EQ(label(position.next), QLatin1String(m.next));
    ASSERT_TRUE(position.next);
    EXPECT_EQ(position.next->at, utc(m.nextAt));
}

INSTANTIATE_TEST_SUITE_P(
    TwoZones, ScheduleTimelineMomentTest,
    ::testing::Values(
        // Berlin, clocks forward on 29 March at 01:00 UTC: 02:30 does not
        // exist; the night slot starts when the skipped hour ends.
        Moment{"Europe/Berlin", "2026-03-29T00:59:59", "Late", "2026-03-29T00:30:00", "Night",
               "2026-03-29T01:00:00"},
        Moment{"Europe/Berlin", "2026-03-29T01:00:00", "Night", "2026-03-29T01:00:00", "Morning",
               "2026-03-29T05:00:00"},
        // Back on 25 October at 01:00 UTC: 02:30 comes twice, the slot starts
        // at the first and still runs in the second.
        Moment{"Europe/Berlin", "2026-10-25T00:29:00", "Late", "2026-10-24T23:30:00", "Night",
               "2026-10-25T00:30:00"},
        Moment{"Europe/Berlin", "2026-10-25T01:45:00", "Night", "2026-10-25T00:30:00", "Morning",
               "2026-10-25T06:00:00"},
        // Closed at 22:00 until 01:30 the next day.
        Moment{"Europe/Berlin", "2026-06-15T21:30:00", "Closed", "2026-06-15T20:00:00", "Late",
               "2026-06-15T23:30:00"},
        // Sunday's lunch list runs across midnight into Monday's 01:30.
        Moment{"Europe/Berlin", "2026-06-14T22:30:00", "Lunch", "2026-06-14T09:30:00", "Late",
               "2026-06-14T23:30:00"},
        // A date's own plan, then a closed date, then the week again.
        Moment{"Europe/Berlin", "2026-12-24T12:59:00", "Xmas", "2026-12-24T06:00:00", "Closed",
               "2026-12-24T13:00:00"},
        Moment{"Europe/Berlin", "2026-12-24T20:00:00", "Closed", "2026-12-24T13:00:00", "Closed",
               "2026-12-24T23:00:00"},
        Moment{"Europe/Berlin", "2026-12-25T12:00:00", "Closed", "2026-12-24T23:00:00", "Late",
               "2026-12-26T00:30:00"},
        // New York forward on 8 March at 07:00 UTC, back on 1 November at
        // 06:00 UTC (01:00 to 02:00 comes twice).
        Moment{"America/New_York", "2026-03-08T06:59:00", "Late", "2026-03-08T06:30:00", "Night",
               "2026-03-08T07:00:00"},
        Moment{"America/New_York", "2026-03-08T07:00:00", "Night", "2026-03-08T07:00:00",
               "Morning", "2026-03-08T11:00:00"},
        Moment{"America/New_York", "2026-11-01T05:29:00", "Closed", "2026-11-01T02:00:00", "Late",
               "2026-11-01T05:30:00"},
        Moment{"America/New_York", "2026-11-01T06:45:00", "Late", "2026-11-01T05:30:00", "Night",
               "2026-11-01T07:30:00"},
        Moment{"America/New_York", "2026-12-25T04:59:00", "Closed", "2026-12-24T19:00:00",
               "Closed", "2026-12-25T05:00:00"}));

// Walks a whole year from start to start: every slot of every day starts
// exactly once, in order, at its local time, or when the skipped hour ends.
class ScheduleTimelineYearTest : public ::testing::TestWithParam<const char *>
{};

TEST_P(ScheduleTimelineYearTest, EverySlotOfTheYearStartsOnceAtItsTime)
{
    const QTimeZone zone(GetParam());
    const SchedulePlan plan = shopPlan();
    const QDate first(2026, 1, 1);
    const QDate last(2026, 12, 31);
    QDateTime at = ScheduleTimeline::startInstant(first, QTime(0, 0), zone).addSecs(-1);
    const QDateTime end = ScheduleTimeline::startInstant(last.addDays(1), QTime(0, 0), zone);

    QSet<QString> started;
    int skippedHourStarts = 0;
    int repeatedHourStarts = 0;
    QDateTime previous;
    while (true) {
        const SchedulePosition position = ScheduleTimeline::positionAt(plan, at, zone);
        ASSERT_TRUE(position.next) << at.toString(Qt::ISODate).toStdString();
        const SlotStart &next = *position.next;
        if (next.at >= end)
            break;
        ASSERT_TRUE(!previous.isValid() || next.at > previous);
        // What runs one second before a start is what the start before it began.
        if (previous.isValid()) {
            ASSERT_TRUE(position.running);
            EXPECT_EQ(position.running->at, previous);
        }
        const QString key = next.day.toString(Qt::ISODate) + QLatin1Char('/') +
                            QString::number(next.index);
        EXPECT_FALSE(started.contains(key)) << key.toStdString() << " started twice";
        started.insert(key);

        const QDateTime local = next.at.toTimeZone(zone);
        if (local.time() == next.slot.start) {
            EXPECT_EQ(local.date(), next.day);
            // The same local time once more an hour later is the repeated hour.
            if (next.at.addSecs(3600).toTimeZone(zone).time() == next.slot.start)
                ++repeatedHourStarts;
        } else {
            // Skipped: the start is the change of offset, right after the hour.
            ++skippedHourStarts;
            EXPECT_EQ(local.date(), next.day);
            EXPECT_NE(zone.offsetFromUtc(next.at), zone.offsetFromUtc(next.at.addSecs(-1)));
            EXPECT_EQ(local.time(), QTime(3, 0));
        }
        previous = next.at;
        at = next.at;
    }

    int expected = 0;
    for (QDate day = first; day <= last; day = day.addDays(1))
        expected += static_cast<int>(plan.dayPlan(day).size());
    EXPECT_EQ(started.size(), expected);
    EXPECT_EQ(skippedHourStarts, 1);
    EXPECT_EQ(repeatedHourStarts, 1);
}

INSTANTIATE_TEST_SUITE_P(TwoZones, ScheduleTimelineYearTest,
                         ::testing::Values("Europe/Berlin", "America/New_York"));

} // namespace
