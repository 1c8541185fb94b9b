#include "vutimer.h"

QtVuTimer::QtVuTimer(const char *name)
{
    m_timer.setObjectName(QLatin1String(name));
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (onTimeout)
            onTimeout();
    });
}

void QtVuTimer::setInterval(int ms)
{
    if (ms == m_interval)
        return;
    m_interval = ms;
    if (ms > 0)
        m_timer.setInterval(ms); // restarts a running countdown
    apply();
}

void QtVuTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    apply();
}

void QtVuTimer::apply()
{
    // A QTimer of interval 0 would fire on every pass of the event loop.
    const bool run = m_enabled && m_interval > 0;
    if (run && !m_timer.isActive())
        m_timer.start();
    else if (!run && m_timer.isActive())
        m_timer.stop();
}
