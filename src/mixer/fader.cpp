#include "fader.h"

#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

Fader::Fader(const QString &caption, QWidget *parent)
    : QWidget(parent)
    , m_caption(new QLabel(caption, this))
    , m_slider(new QSlider(Qt::Vertical, this))
    , m_refresh(new QTimer(this))
{
    m_caption->setObjectName(QStringLiteral("caption"));
    m_caption->setAlignment(Qt::AlignHCenter);
    m_slider->setObjectName(QStringLiteral("slider"));
    // Read out by its caption; the owner may give a plainer name.
    m_slider->setAccessibleName(caption.trimmed());
    m_slider->setRange(0, 100);
    m_slider->setPageStep(10);
    m_slider->setTickPosition(QSlider::TicksBothSides);
    m_slider->setTickInterval(10);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_caption);
    layout->addWidget(m_slider, 1, Qt::AlignHCenter);

    m_refresh->setObjectName(QStringLiteral("refresh"));
    m_refresh->setInterval(kDefaultRefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &Fader::refresh);
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        if (!m_showing && m_line)
            m_line->setVolume(value);
    });
}

Fader::~Fader() = default;

int Fader::refreshrate() const
{
    return m_refresh->interval();
}

void Fader::setRefreshrate(int ms)
{
    m_refresh->setInterval(ms > 0 ? ms : kDefaultRefreshMs);
}

bool Fader::mute() const
{
    return m_line && m_line->muted();
}

void Fader::setMute(bool mute)
{
    if (m_line && m_line->muted() != mute)
        m_line->setMuted(mute);
}

void Fader::setLine(std::unique_ptr<MixerLine> line)
{
    m_line = std::move(line);
    refresh();
    if (!m_refresh->isActive())
        m_refresh->start();
}

void Fader::refresh()
{
    const QString reason =
        m_line ? m_line->unavailableReason() : QStringLiteral("This fader has no line.");
    setEnabled(reason.isEmpty());
    setToolTip(reason.isEmpty() ? m_caption->text().trimmed() : reason);
    if (!reason.isEmpty() || m_slider->isSliderDown())
        return;
    m_showing = true;
    m_slider->setValue(m_line->volume());
    m_showing = false;
}
