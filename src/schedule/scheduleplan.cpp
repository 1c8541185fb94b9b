#include "scheduleplan.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr std::array<const char *, SchedulePlan::kDays> kDayNames{
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

const DayPlan &emptyDay()
{
    static const DayPlan empty;
    return empty;
}

QString slotProblem(const ScheduleSlot &slot)
{
    if (!slot.start.isValid() || slot.start.second() != 0 || slot.start.msec() != 0)
        return QStringLiteral("A slot starts at a whole minute between 00:00 and 23:59.");
    if (!slot.closed && slot.list.trimmed().isEmpty())
        return QStringLiteral("A slot plays a play list or is Closed.");
    return {};
}

} // namespace

QString scheduleDayName(int index)
{
    if (index < 0 || index >= SchedulePlan::kDays)
        return {};
    return QLatin1String(kDayNames[static_cast<size_t>(index)]);
}

QString slotTimeText(QTime start)
{
    return start.toString(QStringLiteral("HH:mm"));
}

const DayPlan &SchedulePlan::dayPlan(const QDate &date) const
{
    if (!date.isValid())
        return emptyDay();
    const auto own = exceptions.constFind(date);
    if (own != exceptions.constEnd())
        return *own;
    return week[static_cast<size_t>(date.dayOfWeek() - 1)];
}

bool SchedulePlan::closedDate(const QDate &date) const
{
    const auto own = exceptions.constFind(date);
    return own != exceptions.constEnd() && own->size() == 1 && own->first().closed &&
           own->first().start == QTime(0, 0);
}

bool SchedulePlan::dropExceptionsBefore(const QDate &first)
{
    bool dropped = false;
    for (auto it = exceptions.begin(); it != exceptions.end();) {
        if (it.key() < first) {
            it = exceptions.erase(it);
            dropped = true;
        } else {
            ++it;
        }
    }
    return dropped;
}

QStringList SchedulePlan::slotsUsing(const QString &list) const
{
    QStringList found;
    auto collect = [&](const QString &day, const DayPlan &plan) {
        for (const ScheduleSlot &slot : plan) {
            if (!slot.closed && slot.list == list)
                found << day + QLatin1Char(' ') + slotTimeText(slot.start);
        }
    };
    for (int day = 0; day < kDays; ++day)
        collect(scheduleDayName(day), week[static_cast<size_t>(day)]);
    for (auto it = exceptions.constBegin(); it != exceptions.constEnd(); ++it)
        collect(it.key().toString(Qt::ISODate), it.value());
    return found;
}

bool SchedulePlan::renameList(const QString &oldName, const QString &newName)
{
    bool changed = false;
    auto rename = [&](DayPlan &plan) {
        for (ScheduleSlot &slot : plan) {
            if (!slot.closed && slot.list == oldName) {
                slot.list = newName;
                changed = true;
            }
        }
    };
    for (DayPlan &plan : week)
        rename(plan);
    for (DayPlan &plan : exceptions)
        rename(plan);
    return changed;
}

DayPlanChange addSlot(const DayPlan &day, const ScheduleSlot &slot)
{
    return replaceSlot(day, -1, slot);
}

DayPlanChange replaceSlot(const DayPlan &day, int index, const ScheduleSlot &slot)
{
    if (const QString problem = slotProblem(slot); !problem.isEmpty())
        return {std::nullopt, problem};
    DayPlan changed = day;
    if (index >= 0 && index < changed.size())
        changed.removeAt(index);
    for (const ScheduleSlot &other : std::as_const(changed)) {
        if (other.start == slot.start)
            return {std::nullopt, QStringLiteral("A slot already starts at %1 on this day.")
                                      .arg(slotTimeText(slot.start))};
    }
    const auto at = std::upper_bound(
        changed.begin(), changed.end(), slot,
        [](const ScheduleSlot &a, const ScheduleSlot &b) { return a.start < b.start; });
    changed.insert(at, slot);
    return {changed, {}};
}

QString dayPlanProblem(const DayPlan &day)
{
    for (qsizetype i = 0; i < day.size(); ++i) {
        if (const QString problem = slotProblem(day[i]); !problem.isEmpty())
            return problem;
        if (i > 0 && day[i - 1].start == day[i].start)
            return QStringLiteral("Two slots start at %1 on this day.")
                .arg(slotTimeText(day[i].start));
        if (i > 0 && day[i - 1].start > day[i].start)
            return QStringLiteral("The slots are not in the order of their start times.");
    }
    return {};
}
