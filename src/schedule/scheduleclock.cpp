#include "scheduleclock.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 kLongestTimerMs = 60LL * 60 * 1000;

} // namespace

SystemScheduleClock::SystemScheduleClock(QObject *parent)
    : ScheduleClock(parent)
{
    m_monotonic.start();
#ifdef Q_OS_LINUX
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &SystemScheduleClock::fdReady);
        return;
    }
#endif
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &SystemScheduleClock::timerFired);
}

SystemScheduleClock::~SystemScheduleClock()
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        delete m_notifier;
        ::close(m_fd);
    }
#endif
}

QDateTime SystemScheduleClock::now() const
{
    return QDateTime::currentDateTimeUtc();
}

QTimeZone SystemScheduleClock::zone() const
{
    return QTimeZone::systemTimeZone();
}

qint64 SystemScheduleClock::monotonicMs() const
{
    return m_monotonic.elapsed();
}

void SystemScheduleClock::wakeAt(const QDateTime &instant)
{
    m_wake = instant;
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const qint64 ms = std::max<qint64>(instant.toMSecsSinceEpoch(), 1);
        itimerspec when{};
        when.it_value.tv_sec = static_cast<time_t>(ms / 1000);
        when.it_value.tv_nsec = static_cast<long>(ms % 1000) * 1'000'000;
        timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr);
        return;
    }
#endif
    timerFired();
}

void SystemScheduleClock::cancelWake()
{
    m_wake = QDateTime();
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const itimerspec off{};
        timerfd_settime(m_fd, 0, &off, nullptr);
        return;
    }
#endif
    m_timer->stop();
}

void SystemScheduleClock::fdReady()
{
#ifdef Q_OS_LINUX
    quint64 expirations = 0;
    const ssize_t got = ::read(m_fd, &expirations, sizeof expirations);
    if (got < 0 && errno == ECANCELED) {
        emit changed();
        return;
    }
    if (got == static_cast<ssize_t>(sizeof expirations)) {
        m_wake = QDateTime();
        emit due();
    }
#endif
}

void SystemScheduleClock::timerFired()
{
    if (!m_wake.isValid())
        return;
    const qint64 left = now().msecsTo(m_wake);
    if (left <= 0) {
        m_wake = QDateTime();
        emit due();
        return;
    }
    m_timer->start(static_cast<int>(std::min(left, kLongestTimerMs)));
}
