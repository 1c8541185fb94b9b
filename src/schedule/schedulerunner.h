#pragma once

#include "scheduleplan.h"
#include "scheduletimeline.h"

#include <QObject>
#include <QString>

#include <optional>

class QTimer;
class ScheduleClock;
class SchedulePlayer;

// Follows the day schedule: at each slot's start the slot's list plays (or
// the music stops for a Closed slot). Waits with one wake-up of the clock at
// the next start, and looks again at what runs now when the clock reports a
// change, when the slow check (once a minute, only while following) sees wall
// and monotonic time apart (a set clock, a sleep) or another time zone.
// A start that is already in effect is never started again, so nothing plays
// twice because the clock moved.
class ScheduleRunner : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCheckIntervalMs = 60'000;
    // Wall and monotonic time further apart than this mean the clock moved.
    static constexpr qint64 kJumpMs = 5'000;

    ScheduleRunner(ScheduleClock &clock, SchedulePlayer &player, QObject *parent = nullptr);

    // A new plan; follows it when its Follow is on. A plan that changes only
    // what comes later leaves the music that plays alone.
    void setPlan(const SchedulePlan &plan);
    const SchedulePlan &plan() const { return m_plan; }
    // Starts following: at program start (after the lists are loaded) the
    // slot that runs now starts without a click. Before this, nothing acts.
    void start();
    bool started() const { return m_started; }
    // Switches following on or off. On again resumes at once, also when the
    // user had taken over.
    void setFollowing(bool on);
    bool following() const { return m_started && m_plan.follow; }

    // The user stopped the music, played a row of their own choice or changed
    // the list: the schedule holds until the next slot starts.
    void userTookOver();
    bool held() const { return m_held.has_value(); }
    // The song that played has ended. True when the schedule starts its slot
    // now, so that the player must not go on with the next song itself.
    bool songEnded();
    // The player is no longer busy; `listChanged` says whether the job that
    // kept it busy showed another list (an import makes one). A slot that
    // began meanwhile starts now.
    void playerFree(bool listChanged);

    // The slow check: re-evaluates when the clock moved or the zone changed.
    void checkClock();
    QTimer *tmrCheck() const { return m_tmrCheck; }

    // "Schedule: Morning Calm until 11:30, then Lunch", "Schedule: closed
    // until 07:00", "Schedule held until 11:30"; empty while not following.
    QString statusText() const;
    // The start in effect (also while held or while a song finishes).
    const std::optional<SlotStart> &current() const { return m_current; }
    // The start waiting for the song that plays to end.
    const std::optional<SlotStart> &waiting() const { return m_waiting; }

signals:
    void statusChanged(const QString &text);

private:
    // Looks at what runs now and starts it unless it is in effect.
    void evaluate();
    void apply(const SlotStart &start);
    void startList(const SlotStart &start);
    void noteClock();
    void updateStatus();

    ScheduleClock &m_clock;
    SchedulePlayer &m_player;
    SchedulePlan m_plan;
    bool m_started = false;
    SchedulePosition m_position;
    std::optional<SlotStart> m_current;
    std::optional<SlotStart> m_waiting;
    // The start during which the user took over.
    std::optional<SlotStart> m_held;
    // The start in effect waits for the busy player.
    bool m_deferred = false;
    QTimer *m_tmrCheck;
    qint64 m_lastWallMs = 0;
    qint64 m_lastMonotonicMs = 0;
    QByteArray m_lastZone;
    QString m_status;
};
