#include "frmnag.h"

#include "core/twips.h"
#include "helpcontents.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#ifndef VORN_VERSION
#define VORN_VERSION "0.0.0"
#endif

namespace {

constexpr int kWidthTwips = 7500;
constexpr int kHeightTwips = 4500;

QFont tahoma(double points)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

} // namespace

frmNag::frmNag(AutoClose autoClose, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmNag"));
    setWindowTitle(QStringLiteral("VORN"));
    setModal(true);

    const QScreen *screen = this->screen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    setFixedSize(twipsToPixels(kWidthTwips, dpi), twipsToPixels(kHeightTwips, dpi));

    auto *title = new QLabel(QStringLiteral("VORN"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setFont(tahoma(36));
    title->setStyleSheet(QStringLiteral("color: #ffd24a;"));
    title->setGeometry(twipsToPixels(480, dpi), twipsToPixels(600, dpi), twipsToPixels(6000, dpi),
                       twipsToPixels(1000, dpi));

    m_lblVersion = new QLabel(versionCaption(QStringLiteral(VORN_VERSION)), this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setFont(tahoma(14.25));
    m_lblVersion->setStyleSheet(QStringLiteral("color: #ffffff;"));
    m_lblVersion->setGeometry(twipsToPixels(480, dpi), twipsToPixels(1700, dpi),
                              twipsToPixels(3000, dpi), twipsToPixels(450, dpi));

    m_lblUserName = new QLabel(QStringLiteral("Licensed to: the VORN listener"), this);
    m_lblUserName->setObjectName(QStringLiteral("lblUserName"));
    m_lblUserName->setFont(tahoma(9));
    m_lblUserName->setStyleSheet(QStringLiteral("color: #d0d0d0;"));
    m_lblUserName->setGeometry(twipsToPixels(480, dpi), twipsToPixels(3700, dpi),
                               twipsToPixels(6500, dpi), twipsToPixels(300, dpi));

    m_tmrAutoClose = new QTimer(this);
    m_tmrAutoClose->setObjectName(QStringLiteral("tmrAutoClose"));
    m_tmrAutoClose->setInterval(kAutoCloseMs);
    m_tmrAutoClose->setSingleShot(true);
    connect(m_tmrAutoClose, &QTimer::timeout, this, &frmNag::tmrAutoClose_Timer);
    if (autoClose == AutoClose::On)
        m_tmrAutoClose->start();
}

void frmNag::tmrAutoClose_Timer()
{
    m_tmrAutoClose->stop();
    accept();
}

void frmNag::mouseReleaseEvent(QMouseEvent *event)
{
    // Labels pass their clicks up; only a click on the picture itself closes.
    if (event->button() == Qt::LeftButton && !childAt(event->position().toPoint())) {
        accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

void frmNag::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(20, 28, 60));
    gradient.setColorAt(1, QColor(90, 20, 70));
    painter.fillRect(rect(), gradient);
}

void frmNag::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->geometry();
        move(area.center().x() - width() / 2, area.center().y() - height() / 2);
    }
}
