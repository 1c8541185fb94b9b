#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QTime>

#include <array>
#include <optional>

// One slot of a day: from its start until the next slot starts (also on a
// later day) the music plays one play list, or nothing ("Closed").
struct ScheduleSlot
{
    QTime start; // whole minutes
    bool closed = false;
    QString list;
    bool random = false;
    // At the slot's start the song that plays ends first; otherwise it fades out.
    bool letFinish = true;

    static ScheduleSlot playing(QTime start, const QString &list, bool random = false,
                                bool letFinish = true)
    {
        return ScheduleSlot{start, false, list, random, letFinish};
    }
    static ScheduleSlot closedAt(QTime start) { return ScheduleSlot{start, true, {}, false, true}; }

    bool operator==(const ScheduleSlot &) const = default;
};

// The slots of one day, ordered by start time, no two at the same minute.
using DayPlan = QList<ScheduleSlot>;

// The week's plan, Monday first, and the dates that have a plan of their own
// (a Closed date is a plan of one Closed slot at 00:00).
struct SchedulePlan
{
    static constexpr int kDays = 7;

    bool follow = false;
    std::array<DayPlan, kDays> week;
    QMap<QDate, DayPlan> exceptions;

    // The slots that run on `date`: its own plan, or its weekday's.
    const DayPlan &dayPlan(const QDate &date) const;
    // True when `date` has a plan of its own that is one Closed slot at 00:00.
    bool closedDate(const QDate &date) const;

    // Removes the date plans of dates before `first`; true when one went.
    bool dropExceptionsBefore(const QDate &first);
    // Every slot of the week and of the dates that plays `list`, as texts
    // such as "Monday 07:00" or "2026-12-25 00:00".
    QStringList slotsUsing(const QString &list) const;
    // Gives every slot that plays `oldName` the name `newName`; true when
    // one changed.
    bool renameList(const QString &oldName, const QString &newName);

    bool operator==(const SchedulePlan &) const = default;
};

// The English name of day `index` (0 = Monday) as the file and the window
// show it.
QString scheduleDayName(int index);
// "07:00".
QString slotTimeText(QTime start);
// The day plan with `slot` added in start-time order, or the reason it is
// refused: a start that is no whole minute, a slot that already starts at that
// minute, a play list slot without a list.
struct DayPlanChange
{
    std::optional<DayPlan> plan;
    QString refusal;
};
DayPlanChange addSlot(const DayPlan &day, const ScheduleSlot &slot);
// The same with the slot at `index` replaced by `slot`.
DayPlanChange replaceSlot(const DayPlan &day, int index, const ScheduleSlot &slot);
// The reason a day plan read from outside is not valid, empty when it is.
QString dayPlanProblem(const DayPlan &day);
