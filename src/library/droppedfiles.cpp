#include "droppedfiles.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

QStringList droppedLocalFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

bool acceptFileDrag(QDropEvent *event)
{
    if (droppedLocalFiles(event->mimeData()).isEmpty() ||
        !event->possibleActions().testFlag(Qt::CopyAction))
        return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}
