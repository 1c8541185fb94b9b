#pragma once

#include "vu/vutimer.h"

#include <QList>

#include <algorithm>
#include <memory>

// A virtual clock for the meter's timers: time moves only in advance(), and
// every timer due on the way fires at its own moment, in order.
class ManualClock
{
public:
    class Timer final : public VuTimer
    {
    public:
        explicit Timer(ManualClock &clock)
            : m_clock(clock)
        {}
        ~Timer() override { m_clock.m_timers.removeAll(this); }

        void setInterval(int ms) override
        {
            if (ms == m_interval)
                return;
            m_interval = ms;
            m_due = m_clock.now() + ms;
        }
        int interval() const override { return m_interval; }
        void setEnabled(bool enabled) override
        {
            if (enabled == m_enabled)
                return;
            m_enabled = enabled;
            m_due = m_clock.now() + m_interval;
        }
        bool isEnabled() const override { return m_enabled; }
        bool running() const { return m_enabled && m_interval > 0; }
        qint64 due() const { return m_due; }

    private:
        friend class ManualClock;
        ManualClock &m_clock;
        int m_interval = 0;
        bool m_enabled = false;
        qint64 m_due = 0;
    };

    VuTimerFactory factory()
    {
        return [this](const char *) {
            auto timer = std::make_unique<Timer>(*this);
            m_timers.append(timer.get());
            return timer;
        };
    }

    qint64 now() const { return m_now; }

    // Moves time on by `ms`, firing every timer that falls due meanwhile.
    void advance(qint64 ms)
    {
        const qint64 end = m_now + ms;
        for (;;) {
            Timer *next = nullptr;
            for (Timer *timer : m_timers) {
                if (timer->running() && timer->m_due <= end &&
                    (!next || timer->m_due < next->m_due))
                    next = timer;
            }
            if (!next)
                break;
            m_now = next->m_due;
            next->m_due += next->m_interval;
            if (next->onTimeout)
                next->onTimeout();
        }
        m_now = end;
    }

private:
    qint64 m_now = 0;
    QList<Timer *> m_timers;
};
