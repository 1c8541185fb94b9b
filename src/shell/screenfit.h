#pragma once

#include <QObject>

class QWidget;

// Moves and shrinks a top-level window, frame included, into the available
// area of the screen it lies on (the primary screen when it lies on none).
// A window that fits is left as it is.
void fitIntoScreen(QWidget *window);

// Fits the watched window into its screen when it is first shown, once the
// window system has given it its frame.
class FitIntoScreenOnShow : public QObject
{
public:
    explicit FitIntoScreenOnShow(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
};
