#include "ucvu.h"

#include "peaksource.h"

#include <QPainter>
#include <QResizeEvent>

namespace {

constexpr int kTwipsPerInch = 1440;
// Segment boxes in twips: two columns, index 0 at the bottom.
constexpr int kLeftColumnX = 30;
constexpr int kRightColumnX = 465;
constexpr int kBottomSegmentY = 1650;
constexpr int kSegmentWidth = 375;
constexpr int kSegmentHeight = 135;

} // namespace

ucVU::ucVU(std::unique_ptr<PeakSource> source, const VuTimerFactory &timers, QWidget *parent)
    : QWidget(parent)
    , m_meter(std::move(source), timers)
{
    setObjectName(QStringLiteral("ucVU"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(pixels(kWidthTwips), pixels(kHeightTwips));

    VuMeter::Events events;
    events.leftPeak = [this] { emit LeftPeak(); };
    events.rightPeak = [this] { emit RightPeak(); };
    events.silenceDetected = [this] { emit SilenceDetected(); };
    events.peakValue = [this](qint32 value) { emit PeakValue(value); };
    events.changed = [this] { update(); };
    m_meter.setEvents(std::move(events));
}

ucVU::~ucVU()
{
    m_meter.setEvents({});
    m_meter.StopVU();
}

void ucVU::StartVU()
{
    m_meter.StartVU();
}

void ucVU::StopVU()
{
    m_meter.StopVU();
}

void ucVU::ReadProperties(const QVariantMap &bag)
{
    m_meter.ReadProperties(bag);
}

QVariantMap ucVU::WriteProperties() const
{
    return m_meter.WriteProperties();
}

int ucVU::pixels(int twips) const
{
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

QRect ucVU::segmentRect(VuMeter::Channel channel, int index) const
{
    const int x = channel == VuMeter::Left ? kLeftColumnX : kRightColumnX;
    const int y = kBottomSegmentY - index * kSegmentHeight;
    return QRect(pixels(x), pixels(y), pixels(kSegmentWidth), pixels(kSegmentHeight));
}

QColor ucVU::segmentColor(int index, bool lit)
{
    const int on = lit ? 255 : 128;
    if (index <= 5)
        return QColor(0, on, 0);
    if (index <= 9)
        return QColor(on, on, 0);
    return QColor(on, 0, 0);
}

void ucVU::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    for (VuMeter::Channel channel : {VuMeter::Left, VuMeter::Right}) {
        for (int index = 0; index < VuMeter::kSegments; ++index)
            painter.fillRect(segmentRect(channel, index),
                             segmentColor(index, m_meter.isLit(channel, index)));
    }
}

void ucVU::resizeEvent(QResizeEvent *event)
{
    // Whatever size the host asks for, the control keeps its own.
    const QSize own(pixels(kWidthTwips), pixels(kHeightTwips));
    if (event->size() != own)
        resize(own);
    QWidget::resizeEvent(event);
}
