#include "vumeter.h"

#include "peaksource.h"

namespace {

std::unique_ptr<VuTimer> makeTimer(const VuTimerFactory &factory, const char *name, int interval)
{
    std::unique_ptr<VuTimer> timer;
    if (factory)
        timer = factory(name);
    else
        timer = std::make_unique<QtVuTimer>(name);
    timer->setInterval(interval);
    timer->setEnabled(false);
    return timer;
}

} // namespace

VuMeter::VuMeter(std::unique_ptr<PeakSource> source, const VuTimerFactory &timers)
    : m_source(std::move(source))
    , m_tmrUpdateVU(makeTimer(timers, "tmrUpdateVU", 200))
    , m_tmrResetPeaks(makeTimer(timers, "tmrResetPeaks", 1000))
    , m_tmrSilenceDetector(makeTimer(timers, "tmrSilenceDetector", 0))
{
    m_tmrUpdateVU->onTimeout = [this] { tmrUpdateVU_Timer(); };
    m_tmrResetPeaks->onTimeout = [this] { tmrResetPeaks_Timer(); };
    m_tmrSilenceDetector->onTimeout = [this] { tmrSilenceDetector_Timer(); };
}

VuMeter::~VuMeter()
{
    // The events belong to a host that may be going away with us.
    m_events = {};
    StopVU();
}

void VuMeter::setEvents(Events events)
{
    m_events = std::move(events);
}

int VuMeter::level(qint64 reading)
{
    const qint64 magnitude = reading < 0 ? -reading : reading;
    if (magnitude >= 32768)
        return kTopLevel;
    const qint64 scaled = magnitude * kTopLevel;
    qint64 quotient = scaled / 32768;
    const qint64 twiceRest = (scaled % 32768) * 2;
    if (twiceRest > 32768 || (twiceRest == 32768 && quotient % 2 == 1))
        ++quotient;
    return static_cast<int>(quotient);
}

void VuMeter::setHoldPeaks(bool hold)
{
    m_holdPeaks = hold;
    m_tmrResetPeaks->setEnabled(hold);
}

void VuMeter::setHoldDelay(int ms)
{
    m_holdDelay = ms;
    m_tmrResetPeaks->setInterval(ms);
}

void VuMeter::setPriority(int ms)
{
    m_priority = ms;
    m_tmrUpdateVU->setInterval(ms);
}

void VuMeter::setSilenceDetect(int ms)
{
    m_silenceDetect = ms;
    m_tmrSilenceDetector->setInterval(ms);
}

void VuMeter::StartVU()
{
    m_tmrUpdateVU->setEnabled(true);
}

void VuMeter::StopVU()
{
    m_tmrUpdateVU->setEnabled(false);
    m_tmrSilenceDetector->setEnabled(false);
    const auto before = m_lit;
    for (int index = kTopLevel; index >= 0; --index) {
        setLit(Left, index, false);
        setLit(Right, index, false);
    }
    reportChange(before);
}

void VuMeter::ReadProperties(const QVariantMap &bag)
{
    setHoldDelay(bag.value(QLatin1String(kHoldDelayKey), kHoldDelayDefault).toInt());
    setHoldPeaks(bag.value(QLatin1String(kHoldPeaksKey), kHoldPeaksDefault).toBool());
    setPriority(bag.value(QLatin1String(kPriorityKey), kPriorityDefault).toInt());
    setSilenceDetect(bag.value(QLatin1String(kSilenceDetectKey), kSilenceDetectDefault).toInt());
}

QVariantMap VuMeter::WriteProperties() const
{
    QVariantMap bag;
    if (m_holdDelay != kHoldDelayDefault)
        bag.insert(QLatin1String(kHoldDelayKey), m_holdDelay);
    if (m_holdPeaks != kHoldPeaksDefault)
        bag.insert(QLatin1String(kHoldPeaksKey), m_holdPeaks);
    if (m_priority != kPriorityDefault)
        bag.insert(QLatin1String(kPriorityKey), m_priority);
    if (m_silenceDetect != kSilenceDetectDefault)
        bag.insert(QLatin1String(kSilenceDetectKey), m_silenceDetect);
    return bag;
}

void VuMeter::tmrUpdateVU_Timer()
{
    qint32 left = 0;
    qint32 right = 0;
    if (!m_source || !m_source->read(left, right))
        return;

    // A tick lights segment L and may darken it again; only the state at its
    // end is drawn.
    const auto before = m_lit;
    updateChannel(Left, left);
    updateChannel(Right, right);
    if (!m_tmrResetPeaks->isEnabled())
        m_peak = {kNothingHeld, kNothingHeld};
    reportChange(before);
    if (m_events.peakValue)
        m_events.peakValue(left);
}

void VuMeter::updateChannel(Channel channel, qint32 reading)
{
    const int l = level(reading);
    int &peak = m_peak[channel];
    for (int index = 0; index <= l; ++index)
        setLit(channel, index, true);
    for (int index = peak - 1; index >= l; --index)
        setLit(channel, index, false);
    if (l > peak)
        peak = l;
    if (l >= kTopLevel)
        raise(channel == Left ? m_events.leftPeak : m_events.rightPeak);
    // Re-enabling a running silence timer keeps its countdown: only a level
    // above 0 (which switches it off) starts the countdown anew.
    m_tmrSilenceDetector->setEnabled(m_silenceDetect != 0 && l == 0);
}

void VuMeter::tmrResetPeaks_Timer()
{
    const auto before = m_lit;
    setLit(Left, m_peak[Left], false);
    setLit(Right, m_peak[Right], false);
    m_peak = {0, 0};
    reportChange(before);
}

void VuMeter::tmrSilenceDetector_Timer()
{
    raise(m_events.silenceDetected);
}

bool VuMeter::isLit(Channel channel, int index) const
{
    return index >= 0 && index < kSegments && m_lit[channel][static_cast<size_t>(index)];
}

void VuMeter::setLit(Channel channel, int index, bool lit)
{
    if (index < 0 || index >= kSegments)
        return;
    m_lit[channel][static_cast<size_t>(index)] = lit;
}

void VuMeter::reportChange(const std::array<std::array<bool, kSegments>, 2> &before) const
{
    if (before != m_lit)
        raise(m_events.changed);
}

void VuMeter::raise(const std::function<void()> &event) const
{
    if (event)
        event();
}
