#pragma once

#include <QTimer>

#include <functional>
#include <memory>

// A timer as the meter uses it: an interval and an enabled state. Setting the
// enabled state it already has leaves a running countdown alone; switching it
// off and on starts the countdown afresh. An interval of 0 never fires.
class VuTimer
{
public:
    virtual ~VuTimer() = default;

    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;

    // Called on every expiry.
    std::function<void()> onTimeout;
};

// Makes the meter's timers; the name is the timer's own (tmrUpdateVU, ...).
using VuTimerFactory = std::function<std::unique_ptr<VuTimer>(const char *name)>;

// A VuTimer on a QTimer of the GUI thread. QTimer::start() restarts a running
// countdown, so the enabled state is guarded here.
class QtVuTimer final : public VuTimer
{
public:
    explicit QtVuTimer(const char *name);

    void setInterval(int ms) override;
    int interval() const override { return m_interval; }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return m_enabled; }

    const QTimer &timer() const { return m_timer; }

private:
    void apply();

    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};
