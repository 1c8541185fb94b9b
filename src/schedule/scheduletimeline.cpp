#include "scheduletimeline.h"

#include <algorithm>
#include <vector>

namespace {

// A week back finds the last slot of any day that has one; a week and a day
// ahead the next.
constexpr int kDaysBack = 8;
constexpr int kDaysAhead = 8;
constexpr qint64 kDaySeconds = 24 * 60 * 60;

} // namespace

QDateTime ScheduleTimeline::startInstant(const QDate &date, QTime time, const QTimeZone &zone)
{
    // The local time read as if it were UTC; the zone's offsets a day before
    // and after it are the two candidates (zones do not change twice in two
    // days).
    const qint64 local = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
    const int before = zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(local - kDaySeconds, Qt::UTC));
    const int after = zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(local + kDaySeconds, Qt::UTC));
    std::optional<qint64> first;
    for (const int offset : {before, after}) {
        const qint64 candidate = local - offset;
        if (zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(candidate, Qt::UTC)) != offset)
            continue;
        if (!first || candidate < *first)
            first = candidate;
    }
    if (first)
        return QDateTime::fromSecsSinceEpoch(*first, Qt::UTC);
    // Skipped by a change to a later offset: the change itself is the end of
    // the skipped hour.
    const QDateTime from = QDateTime::fromSecsSinceEpoch(local - std::max(before, after), Qt::UTC);
    const QTimeZone::OffsetData change = zone.nextTransition(from.addSecs(-1));
    if (change.atUtc.isValid())
        return change.atUtc.toUTC();
    return QDateTime::fromSecsSinceEpoch(local - before, Qt::UTC);
}

namespace {

SchedulePosition positionAmong(const SchedulePlan &plan, const QDateTime &instant,
                               const QTimeZone &zone, const QDate &today, int days)
{
    std::vector<SlotStart> starts;
    for (int offset = -days; offset <= days; ++offset) {
        const QDate day = today.addDays(offset);
        const DayPlan &daySlots = plan.dayPlan(day);
        for (int index = 0; index < daySlots.size(); ++index)
            starts.push_back(SlotStart{ScheduleTimeline::startInstant(day, daySlots[index].start, zone),
                                       day, index, daySlots[index]});
    }
    // Days are walked in order and a day's slots in start order, so a stable
    // sort keeps the day's order among starts at the same instant.
    std::stable_sort(starts.begin(), starts.end(),
                     [](const SlotStart &a, const SlotStart &b) { return a.at < b.at; });

    SchedulePosition position;
    for (size_t i = 0; i < starts.size(); ++i) {
        // Only the last of the starts at one instant runs.
        if (i + 1 < starts.size() && starts[i + 1].at == starts[i].at)
            continue;
        if (starts[i].at <= instant) {
            position.running = starts[i];
        } else {
            position.next = starts[i];
            break;
        }
    }
    return position;
}

} // namespace

SchedulePosition ScheduleTimeline::positionAt(const SchedulePlan &plan, const QDateTime &instant,
                                              const QTimeZone &zone)
{
    // A day's starts all come after the days before it, so what the days
    // around today decide holds; a week with few slots needs more days.
    const QDate today = instant.toTimeZone(zone).date();
    SchedulePosition position = positionAmong(plan, instant, zone, today, 1);
    if (!position.running || !position.next)
        position = positionAmong(plan, instant, zone, today, std::max(kDaysBack, kDaysAhead));
    return position;
}
