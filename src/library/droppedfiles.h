#pragma once

#include <QStringList>

class QMimeData;

// The local files among dragged or dropped data, in their order; remote URLs
// and text are left out.
QStringList droppedLocalFiles(const QMimeData *data);
