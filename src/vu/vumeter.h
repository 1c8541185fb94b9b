#pragma once

#include "vutimer.h"

#include <QVariantMap>

#include <array>
#include <functional>
#include <memory>

class PeakSource;

// The meter's behaviour without its drawing: two bars of 13 segments, the
// peak hold, the clipping and silence events and the readings handed to the
// host, driven by three timers.
class VuMeter
{
public:
    static constexpr int kSegments = 13;
    static constexpr int kTopLevel = 12;
    // A held peak index that names no segment: nothing is held.
    static constexpr int kNothingHeld = 13;
    enum Channel
    {
        Left = 0,
        Right = 1
    };

    // Stored property keys and their defaults, in the order they are read.
    static constexpr char kHoldDelayKey[] = "HoldPeaksDelayVal";
    static constexpr char kHoldPeaksKey[] = "HoldPeaksVal";
    static constexpr char kPriorityKey[] = "PriorityVal";
    static constexpr char kSilenceDetectKey[] = "SilenceDetectVal";
    static constexpr int kHoldDelayDefault = 500;
    static constexpr bool kHoldPeaksDefault = true;
    static constexpr int kPriorityDefault = 200;
    static constexpr int kSilenceDetectDefault = 0;

    struct Events
    {
        std::function<void()> leftPeak;
        std::function<void()> rightPeak;
        std::function<void()> silenceDetected;
        std::function<void(qint32 value)> peakValue;
        // Some segment changed its state.
        std::function<void()> changed;
    };

    // `source` may be null: every tick then fails silently.
    VuMeter(std::unique_ptr<PeakSource> source, const VuTimerFactory &timers);
    ~VuMeter();

    void setEvents(Events events);

    // The level 0..12 of a reading: |reading| x 12 / 32768, rounded half to
    // even; readings beyond the range count as full scale.
    static int level(qint64 reading);

    bool HoldPeaks() const { return m_holdPeaks; }
    void setHoldPeaks(bool hold);
    int HoldDelay() const { return m_holdDelay; }
    void setHoldDelay(int ms);
    int Priority() const { return m_priority; }
    void setPriority(int ms);
    int SilenceDetect() const { return m_silenceDetect; }
    void setSilenceDetect(int ms);

    void StartVU();
    void StopVU();

    // Applies the host's stored values in their order; a missing key reads
    // as its default.
    void ReadProperties(const QVariantMap &bag);
    // The four stored values, leaving out each that equals its default.
    QVariantMap WriteProperties() const;

    void tmrUpdateVU_Timer();
    void tmrResetPeaks_Timer();
    void tmrSilenceDetector_Timer();

    bool isLit(Channel channel, int index) const;
    int PeakLeft() const { return m_peak[Left]; }
    int PeakRight() const { return m_peak[Right]; }

    VuTimer &tmrUpdateVU() { return *m_tmrUpdateVU; }
    VuTimer &tmrResetPeaks() { return *m_tmrResetPeaks; }
    VuTimer &tmrSilenceDetector() { return *m_tmrSilenceDetector; }

private:
    void updateChannel(Channel channel, qint32 reading);
    void setLit(Channel channel, int index, bool lit);
    void raise(const std::function<void()> &event) const;
    // Tells the host to redraw when the segments differ from `before`.
    void reportChange(const std::array<std::array<bool, kSegments>, 2> &before) const;

    std::unique_ptr<PeakSource> m_source;
    std::unique_ptr<VuTimer> m_tmrUpdateVU;
    std::unique_ptr<VuTimer> m_tmrResetPeaks;
    std::unique_ptr<VuTimer> m_tmrSilenceDetector;
    Events m_events;

    bool m_holdPeaks = false;
    int m_holdDelay = 0;
    int m_priority = 0;
    int m_silenceDetect = 0;
    std::array<int, 2> m_peak{0, 0};
    std::array<std::array<bool, kSegments>, 2> m_lit{};
};
