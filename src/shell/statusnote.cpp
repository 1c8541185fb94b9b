#include "statusnote.h"

#include <QPointer>
#include <QStatusBar>
#include <QWidget>

void hidePanelsWhileANoteShows(QStatusBar *bar, const QList<QWidget *> &panels)
{
    QList<QPointer<QWidget>> guarded;
    for (QWidget *panel : panels)
        guarded.append(panel);
    QObject::connect(bar, &QStatusBar::messageChanged, bar, [guarded](const QString &note) {
        for (const QPointer<QWidget> &panel : guarded) {
            if (panel)
                panel->setVisible(note.isEmpty());
        }
    });
}
