#pragma once

#include "library/songrow.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <initializer_list>
#include <vector>

// Builds a play list line as it is stored: each field followed by 0xFF, CR LF.
inline QByteArray storedLine(std::initializer_list<const char *> fields)
{
    QByteArray line;
    for (const char *field : fields) {
        line += field;
        line += '\xFF';
    }
    return line + "\r\n";
}

inline SongRow songRow(const QString &title, const QString &artist, const QString &len,
                       const QString &file)
{
    SongRow row;
    row.setField(chTitle, title);
    row.setField(chArtist, artist);
    row.setField(chLen, len);
    row.setField(chFile, file);
    return row;
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
