#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimeZone>

#include <memory>

class QSocketNotifier;
class QTimer;

// Wall time, the time zone and monotonic time, as the schedule sees them,
// with one wake-up at a wall-clock instant. Wall and monotonic time move apart
// when the clock is set or the machine sleeps; the schedule compares them.
class ScheduleClock : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The wall time now, in UTC.
    virtual QDateTime now() const = 0;
    virtual QTimeZone zone() const = 0;
    // Milliseconds of a clock that never jumps and stands still in sleep.
    virtual qint64 monotonicMs() const = 0;
    // Emits due() once the wall clock reaches `instant` (UTC), also when that
    // happened during a sleep; replaces the wake-up set before.
    virtual void wakeAt(const QDateTime &instant) = 0;
    virtual void cancelWake() = 0;

signals:
    void due();
    // The wall clock was set. Not every clock can tell; the schedule also
    // compares wall and monotonic time on its own.
    void changed();
};

// The system's clocks. On Linux the wake-up is a wall-clock timer of the
// kernel, which fires after a sleep that passed its instant and reports a
// setting of the clock at once; elsewhere a timer of at most an hour that
// looks again at the wall time.
class SystemScheduleClock final : public ScheduleClock
{
    Q_OBJECT

public:
    explicit SystemScheduleClock(QObject *parent = nullptr);
    ~SystemScheduleClock() override;

    QDateTime now() const override;
    QTimeZone zone() const override;
    qint64 monotonicMs() const override;
    void wakeAt(const QDateTime &instant) override;
    void cancelWake() override;

private:
    void fdReady();
    void timerFired();

    QElapsedTimer m_monotonic;
    QDateTime m_wake;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_timer = nullptr;
};
