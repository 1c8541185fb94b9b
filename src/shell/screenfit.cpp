#include "screenfit.h"

#include "windowfit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void fitIntoScreen(QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    const QScreen *screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect fitted = fitWindowInto(frame, screen->availableGeometry());
    if (fitted == frame)
        return;
    window->move(fitted.topLeft());
    window->resize(fitted.size().shrunkBy(margins));
}

FitIntoScreenOnShow::FitIntoScreenOnShow(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    window->installEventFilter(this);
}

bool FitIntoScreenOnShow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Show) {
        m_window->removeEventFilter(this);
        fitIntoScreen(m_window);
    }
    return false;
}
