#include "accessiblenames.h"

#include <QString>
#include <QToolBar>
#include <QToolButton>

void nameOverflowButton(QToolBar *bar)
{
    // Qt makes this button with the tool bar and gives it no text.
    if (auto *more = bar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More buttons"));
}

void nameToolButton(QToolBar *bar, QAction *action, const QString &name)
{
    if (QWidget *button = bar->widgetForAction(action))
        button->setAccessibleName(name);
}
