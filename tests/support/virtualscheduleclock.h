#pragma once

#include "schedule/scheduleclock.h"

#include <optional>

// A schedule clock that the test moves: wall and monotonic time go on
// together, or apart (a set clock, a sleep), and the wake-up fires exactly
// at its instant as the time passes it.
class VirtualScheduleClock final : public ScheduleClock
{
public:
    VirtualScheduleClock(const QDateTime &start, const QTimeZone &zone)
        : m_wallMs(start.toMSecsSinceEpoch())
        , m_zone(zone)
    {}

    QDateTime now() const override { return QDateTime::fromMSecsSinceEpoch(m_wallMs, Qt::UTC); }
    QTimeZone zone() const override { return m_zone; }
    qint64 monotonicMs() const override { return m_monotonicMs; }
    void wakeAt(const QDateTime &instant) override { m_wake = instant.toMSecsSinceEpoch(); }
    void cancelWake() override { m_wake.reset(); }

    std::optional<qint64> wake() const { return m_wake; }

    // Time passes: each wake-up on the way fires at its instant.
    void advance(qint64 ms)
    {
        const qint64 end = m_wallMs + ms;
        while (m_wake && *m_wake <= end) {
            const qint64 at = std::max(*m_wake, m_wallMs);
            m_monotonicMs += at - m_wallMs;
            m_wallMs = at;
            m_wake.reset();
            emit due();
        }
        m_monotonicMs += end - m_wallMs;
        m_wallMs = end;
    }
    // The clock is set by `ms`; `told` says whether the system reports it.
    void jump(qint64 ms, bool told = true)
    {
        m_wallMs += ms;
        if (told)
            emit changed();
    }
    // The machine sleeps: wall time goes on, monotonic time stands; a wake-up
    // passed in the sleep fires at the wake.
    void sleep(qint64 ms)
    {
        m_wallMs += ms;
        if (m_wake && *m_wake <= m_wallMs) {
            m_wake.reset();
            emit due();
        }
    }
    void setZone(const QTimeZone &zone) { m_zone = zone; }

private:
    qint64 m_wallMs;
    qint64 m_monotonicMs = 1'000'000;
    QTimeZone m_zone;
    std::optional<qint64> m_wake;
};
