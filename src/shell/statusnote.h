#pragma once

#include <QList>

class QStatusBar;
class QWidget;

// Keeps a note of the status bar (showMessage) and the panels apart: the
// panels hide while a note shows and come back when it ends. Qt's status bar
// does this only for panels that are visible when the note is given, so a
// note given before the window is first shown (a recovery note of the
// start-up) would otherwise be painted over the panels.
void hidePanelsWhileANoteShows(QStatusBar *bar, const QList<QWidget *> &panels);
