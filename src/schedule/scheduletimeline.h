#pragma once

#include "scheduleplan.h"

#include <QDateTime>
#include <QTimeZone>

#include <optional>

// One start of a slot: the slot of `day`'s plan at `index`, starting at the
// instant `at`.
struct SlotStart
{
    QDateTime at; // UTC
    QDate day;
    int index = -1;
    ScheduleSlot slot;

    // The same start of the same slot of the same day.
    bool sameStart(const SlotStart &other) const
    {
        return day == other.day && index == other.index && at == other.at;
    }
};

// What runs at an instant, and what starts next.
struct SchedulePosition
{
    std::optional<SlotStart> running;
    std::optional<SlotStart> next;
};

// The slot arithmetic of the day schedule in one time zone. A slot starts at
// its local start time on its day. When that local time does not exist (the
// hour skipped when clocks go forward) it starts when the skipped hour ends;
// when it exists twice (the hour repeated when clocks go back) it starts at
// the first of the two. Slots that come to start at the same instant leave
// only the last of the day's order running. A slot runs until the next start,
// across midnight and across days without daySlots.
namespace ScheduleTimeline {

// The instant at which local time `time` of `date` begins in `zone`.
QDateTime startInstant(const QDate &date, QTime time, const QTimeZone &zone);

// What runs at `instant` and what starts after it. Both are empty for a plan
// with no slot on any day.
SchedulePosition positionAt(const SchedulePlan &plan, const QDateTime &instant,
                            const QTimeZone &zone);

} // namespace ScheduleTimeline
