#include "bannerstrip.h"

#include "bannersettings.h"
#include "core/twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

#include <algorithm>

namespace {

// A banner label draws its text once, on the strip's back colour, and then
// only copies that picture: a tick moves the labels ten times a second, and
// laying out the text anew each time cost more than everything else the
// program does while music plays.
class BannerLabel final : public QLabel
{
public:
    explicit BannerLabel(QWidget *parent)
        : QLabel(parent)
    {
        // The picture covers the label: nothing under it needs painting.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const qreal ratio = devicePixelRatioF();
        if (m_picture.isNull() || m_pictureText != text() || m_picture.size() != size() * ratio ||
            m_picture.devicePixelRatioF() != ratio) {
            drawPicture(ratio);
        }
        QPainter(this).drawPixmap(0, 0, m_picture);
    }

    void changeEvent(QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::FontChange:
        case QEvent::PaletteChange:
        case QEvent::EnabledChange:
        case QEvent::StyleChange:
            m_picture = QPixmap();
            break;
        default:
            break;
        }
        QLabel::changeEvent(event);
    }

private:
    // Draws the text as a plain-text label paints it, on the strip's colour.
    void drawPicture(qreal ratio)
    {
        m_picture = QPixmap(size() * ratio);
        m_picture.setDevicePixelRatio(ratio);
        const QWidget *strip = parentWidget();
        m_picture.fill((strip ? strip : this)->palette().color(QPalette::Window));
        m_pictureText = text();
        QPainter painter(&m_picture);
        painter.setFont(font());
        QStyleOption option;
        option.initFrom(this);
        const Qt::LayoutDirection direction =
            m_pictureText.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
        const int flags =
            QStyle::visualAlignment(direction, alignment()) |
            (direction == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft);
        style()->drawItemText(&painter, contentsRect(), flags, option.palette, isEnabled(),
                              m_pictureText, foregroundRole());
    }

    QPixmap m_picture;
    QString m_pictureText;
};

} // namespace

BannerStrip::BannerStrip(QWidget *parent)
    : QWidget(parent)
    , m_tmrScrollBanner(new QTimer(this))
{
    setObjectName(QStringLiteral("picBanner"));
    setAccessibleName(QStringLiteral("Player banner"));
    setAutoFillBackground(true);
    for (size_t i = 0; i < m_labels.size(); ++i) {
        auto *label = new BannerLabel(this);
        label->setObjectName(QStringLiteral("lblBanner%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(false);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_labels[i] = label;
    }
    m_tmrScrollBanner->setObjectName(QStringLiteral("tmrScrollBanner"));
    m_tmrScrollBanner->setInterval(kBannerTickMs);
    connect(m_tmrScrollBanner, &QTimer::timeout, this, &BannerStrip::tmrScrollBanner_Timer);

    applyAppearance(BannerAppearance{}, true);
}

void BannerStrip::ApplyBannerSettings(const SettingsStore &settings, bool shown)
{
    applyAppearance(BannerAppearance::read(settings), shown);
}

void BannerStrip::applyAppearance(const BannerAppearance &appearance, bool shown)
{
    const QFont font = appearance.font();
    for (QLabel *label : m_labels) {
        label->clear();
        label->setFont(font);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, appearance.fontColor);
        label->setPalette(palette);
    }
    setVisible(shown);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, appearance.backColor);
    // The labels inherit the back colour, and draw their picture on it anew.
    setPalette(palette);
    placeLabels();
    followScrolling();
}

void BannerStrip::setBannerText(const QString &text)
{
    if (text == m_labels[0]->text())
        return;
    for (QLabel *label : m_labels)
        label->setText(text);
    placeLabels();
    followScrolling();
}

void BannerStrip::followScrolling()
{
    const bool scrolls = isVisible() && !m_labels[0]->text().isEmpty();
    if (scrolls && !m_tmrScrollBanner->isActive())
        m_tmrScrollBanner->start();
    else if (!scrolls)
        m_tmrScrollBanner->stop();
}

void BannerStrip::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    followScrolling();
}

void BannerStrip::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_tmrScrollBanner->stop();
}

QString BannerStrip::bannerText() const
{
    return m_labels[0]->text();
}

int BannerStrip::labelHeight() const
{
    // One line of the banner font, whether or not the label holds text.
    return m_labels[0]->fontMetrics().height();
}

void BannerStrip::tmrScrollBanner_Timer()
{
    const double dpi = dotsPerInch();
    m_positions =
        scrollBannerStep(m_positions.left0, pixelsToTwips(m_labels[0]->sizeHint().width(), dpi),
                         pixelsToTwips(width(), dpi));
    placeLabels();
}

void BannerStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeLabels();
}

double BannerStrip::dotsPerInch() const
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

// The labels sit centred in the strip's height at the positions of the last
// tick; before the first tick the first label starts at the left edge.
void BannerStrip::placeLabels()
{
    const double dpi = dotsPerInch();
    const int height = labelHeight();
    const int top = (this->height() - height) / 2;
    QLabel *first = m_labels[0];
    QLabel *second = m_labels[1];
    const int firstWidth =
        std::max(twipsToPixels(m_positions.width0, dpi), first->sizeHint().width());
    first->setGeometry(twipsToPixels(m_positions.left0, dpi), top, firstWidth, height);
    second->setGeometry(twipsToPixels(m_positions.left1, dpi), top, second->sizeHint().width(),
                        height);
}
