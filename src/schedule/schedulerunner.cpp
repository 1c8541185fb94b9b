#include "schedulerunner.h"

#include "scheduleclock.h"
#include "scheduleplayer.h"

#include <QLocale>
#include <QTimer>

#include <cstdlib>

namespace {

bool inEffect(const std::optional<SlotStart> &current, const SlotStart &running)
{
    return current && current->sameStart(running) && current->slot == running.slot;
}

} // namespace

ScheduleRunner::ScheduleRunner(ScheduleClock &clock, SchedulePlayer &player, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_player(player)
    , m_tmrCheck(new QTimer(this))
{
    m_tmrCheck->setObjectName(QStringLiteral("tmrScheduleCheck"));
    m_tmrCheck->setInterval(kCheckIntervalMs);
    connect(m_tmrCheck, &QTimer::timeout, this, &ScheduleRunner::checkClock);
    connect(&m_clock, &ScheduleClock::due, this, &ScheduleRunner::evaluate);
    connect(&m_clock, &ScheduleClock::changed, this, &ScheduleRunner::evaluate);
}

void ScheduleRunner::setPlan(const SchedulePlan &plan)
{
    m_plan = plan;
    if (!m_started)
        return;
    if (!following()) {
        m_clock.cancelWake();
        m_tmrCheck->stop();
        m_current.reset();
        m_waiting.reset();
        m_held.reset();
        m_deferred = false;
        m_position = {};
        updateStatus();
        return;
    }
    evaluate();
}

void ScheduleRunner::start()
{
    m_started = true;
    setPlan(m_plan);
}

void ScheduleRunner::setFollowing(bool on)
{
    SchedulePlan plan = m_plan;
    plan.follow = on;
    setPlan(plan);
}

void ScheduleRunner::userTookOver()
{
    if (!following() || !m_position.running)
        return;
    m_held = m_position.running;
    m_waiting.reset();
    m_deferred = false;
    updateStatus();
}

bool ScheduleRunner::songEnded()
{
    if (!following() || !m_waiting || m_held)
        return false;
    // The next song's end takes the waiting start up.
    if (m_player.busy())
        return false;
    const SlotStart start = *m_waiting;
    m_waiting.reset();
    const int songs = m_player.songCount(start.slot.list);
    if (songs <= 0) {
        // Deleted or emptied while the song played: the music goes on.
        m_player.report(songs < 0 ? QStringLiteral("Schedule: the play list \"%1\" is missing; "
                                                   "the music goes on")
                                        .arg(start.slot.list)
                                  : QStringLiteral("Schedule: the play list \"%1\" is empty; "
                                                   "the music goes on")
                                        .arg(start.slot.list));
        return false;
    }
    startList(start);
    updateStatus();
    return true;
}

void ScheduleRunner::playerFree(bool listChanged)
{
    if (!following())
        return;
    // What the job showed was the user's choice, unless a slot began while
    // it ran: that start waited for the job and comes first.
    if (listChanged && !m_deferred)
        userTookOver();
    evaluate();
}

void ScheduleRunner::checkClock()
{
    if (!following())
        return;
    const qint64 wall = m_clock.now().toMSecsSinceEpoch();
    const qint64 expected = m_lastWallMs + (m_clock.monotonicMs() - m_lastMonotonicMs);
    if (std::llabs(wall - expected) > kJumpMs || m_clock.zone().id() != m_lastZone)
        evaluate();
    else
        noteClock();
}

void ScheduleRunner::evaluate()
{
    if (!following())
        return;
    m_position = ScheduleTimeline::positionAt(m_plan, m_clock.now(), m_clock.zone());
    noteClock();
    const std::optional<SlotStart> &running = m_position.running;
    if (m_held && !(running && running->sameStart(*m_held)))
        m_held.reset();
    if (!running) {
        m_current.reset();
        m_waiting.reset();
        m_deferred = false;
    } else if (!m_held && !inEffect(m_current, *running)) {
        apply(*running);
    }
    if (m_position.next)
        m_clock.wakeAt(m_position.next->at);
    else
        m_clock.cancelWake();
    if (!m_tmrCheck->isActive())
        m_tmrCheck->start();
    updateStatus();
}

void ScheduleRunner::apply(const SlotStart &start)
{
    m_current = start;
    m_waiting.reset();
    m_deferred = false;
    const ScheduleSlot &slot = start.slot;
    if (slot.closed) {
        if (m_player.playing())
            m_player.fadeOutAndStop();
        return;
    }
    if (m_player.busy()) {
        // Not in effect yet: playerFree() starts it.
        m_current.reset();
        m_deferred = true;
        return;
    }
    const int songs = m_player.songCount(slot.list);
    if (songs <= 0) {
        m_player.report(songs < 0 ? QStringLiteral("Schedule: the play list \"%1\" of the slot at "
                                                   "%2 is missing; the music goes on")
                                        .arg(slot.list, slotTimeText(slot.start))
                                  : QStringLiteral("Schedule: the play list \"%1\" of the slot at "
                                                   "%2 is empty; the music goes on")
                                        .arg(slot.list, slotTimeText(slot.start)));
        return;
    }
    if (m_player.playing()) {
        if (m_player.shownList() == slot.list) {
            m_player.setOrder(slot.random);
            return;
        }
        if (slot.letFinish) {
            m_waiting = start;
            return;
        }
        m_player.fadeOutAndStop();
    }
    startList(start);
}

void ScheduleRunner::startList(const SlotStart &start)
{
    if (!m_player.switchAndPlay(start.slot.list, start.slot.random))
        m_player.report(QStringLiteral("Schedule: the play list \"%1\" could not be played")
                            .arg(start.slot.list));
}

void ScheduleRunner::noteClock()
{
    m_lastWallMs = m_clock.now().toMSecsSinceEpoch();
    m_lastMonotonicMs = m_clock.monotonicMs();
    m_lastZone = m_clock.zone().id();
}

void ScheduleRunner::updateStatus()
{
    QString text;
    if (following()) {
        const QTimeZone zone = m_clock.zone();
        const QDate today = m_clock.now().toTimeZone(zone).date();
        const auto when = [&](const SlotStart &start) {
            const QDateTime local = start.at.toTimeZone(zone);
            const QString time = local.time().toString(QStringLiteral("HH:mm"));
            if (local.date() == today)
                return time;
            return QLocale::c().dayName(local.date().dayOfWeek(), QLocale::ShortFormat) +
                   QLatin1Char(' ') + time;
        };
        const std::optional<SlotStart> &running = m_position.running;
        const std::optional<SlotStart> &next = m_position.next;
        if (m_held) {
            text = next ? QStringLiteral("Schedule held until ") + when(*next)
                        : QStringLiteral("Schedule held");
        } else if (!running) {
            text = QStringLiteral("Schedule: nothing planned");
        } else {
            text = QStringLiteral("Schedule: ") +
                   (running->slot.closed ? QStringLiteral("closed") : running->slot.list);
            if (next) {
                text += QStringLiteral(" until ") + when(*next);
                if (!running->slot.closed)
                    text += QStringLiteral(", then ") +
                            (next->slot.closed ? QStringLiteral("closed") : next->slot.list);
            }
        }
    }
    if (text != m_status) {
        m_status = text;
        emit statusChanged(m_status);
    }
}

QString ScheduleRunner::statusText() const
{
    return m_status;
}
