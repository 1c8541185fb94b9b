#pragma once

#include <QString>
#include <QStringList>

// The media file types VORN plays, in their fixed order.
QStringList supportedMediaTypes();
bool isSupportedMediaType(const QString &extension);
// The media files directly in `folder` as native paths: type by type in the
// order above, each type's files by name. The folder is read once.
QStringList listMediaFiles(const QString &folder);
// The open-file dialog's filter for media files.
QString mediaFileFilter();
// The text after the last dot of a path, lower-cased (empty without a dot).
QString lowerExtension(const QString &path);
