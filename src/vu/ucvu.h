#pragma once

#include "vumeter.h"

#include <QVariantMap>
#include <QWidget>

#include <memory>

class PeakSource;

// The VU meter control: two bars of 13 segments, left and right channel, at a
// fixed size of 945 x 1890 twips. Its host reaches it only through the
// meta-object system, by the names below.
class ucVU : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool HoldPeaks READ HoldPeaks WRITE setHoldPeaks)
    Q_PROPERTY(int HoldDelay READ HoldDelay WRITE setHoldDelay)
    Q_PROPERTY(int Priority READ Priority WRITE setPriority)
    Q_PROPERTY(int SilenceDetect READ SilenceDetect WRITE setSilenceDetect)

public:
    // Named values in milliseconds; any other value is taken as it is.
    enum HoldDelaySec
    {
        hdLow = 500,
        hdMedium = 1200,
        hdHigh = 3000
    };
    Q_ENUM(HoldDelaySec)
    // A lower value updates more often.
    enum PrioritySec
    {
        pLow = 500,
        pMedium = 200,
        pHigh = 10
    };
    Q_ENUM(PrioritySec)
    enum SilenceDetectSec
    {
        sOFF = 0,
        s05sec = 500,
        s1sec = 1000,
        s5sec = 5000,
        s10sec = 10000
    };
    Q_ENUM(SilenceDetectSec)

    // Design size in twips.
    static constexpr int kWidthTwips = 945;
    static constexpr int kHeightTwips = 1890;

    // `source` may be null (no peak meter): the bars stay dark.
    explicit ucVU(std::unique_ptr<PeakSource> source, const VuTimerFactory &timers = {},
                  QWidget *parent = nullptr);
    ~ucVU() override;

    bool HoldPeaks() const { return m_meter.HoldPeaks(); }
    void setHoldPeaks(bool hold) { m_meter.setHoldPeaks(hold); }
    int HoldDelay() const { return m_meter.HoldDelay(); }
    void setHoldDelay(int ms) { m_meter.setHoldDelay(ms); }
    int Priority() const { return m_meter.Priority(); }
    void setPriority(int ms) { m_meter.setPriority(ms); }
    int SilenceDetect() const { return m_meter.SilenceDetect(); }
    void setSilenceDetect(int ms) { m_meter.setSilenceDetect(ms); }

    Q_INVOKABLE void StartVU();
    Q_INVOKABLE void StopVU();
    // The host's stored values (keys HoldPeaksDelayVal, HoldPeaksVal,
    // PriorityVal, SilenceDetectVal) in and out; defaults are left out.
    Q_INVOKABLE void ReadProperties(const QVariantMap &bag);
    Q_INVOKABLE QVariantMap WriteProperties() const;

    VuMeter &meter() { return m_meter; }
    // Where segment `index` of a bar sits, in pixels of this control.
    QRect segmentRect(VuMeter::Channel channel, int index) const;
    static QColor segmentColor(int index, bool lit);

signals:
    void LeftPeak();
    void RightPeak();
    void SilenceDetected();
    void PeakValue(int Value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int pixels(int twips) const;

    VuMeter m_meter;
};
