#pragma once

#include <QStringList>

class QMimeData;

// The local files among dragged or dropped data, in their order; remote URLs
// and text are left out.
QStringList droppedLocalFiles(const QMimeData *data);

class QDropEvent;

// Accepts a drag or drop of local files as a copy: VORN only refers to the
// files, so the source (a file manager) must never delete them as after a
// move. False, leaving the event alone, when it holds no local files or
// cannot be a copy.
bool acceptFileDrag(QDropEvent *event);
