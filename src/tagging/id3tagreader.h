#pragma once

#include <QString>
#include <QtGlobal>

// Reads the title, artist and album of a media file's tag. Per file the
// caller reads, then looks at the indicator, and only when it is 0 takes the
// three texts of the tag just read. Nothing is ever written to the file.
class Id3TagReader
{
public:
    virtual ~Id3TagReader() = default;

    // Reads the tag of the file at the full path `path`; replaces whatever
    // an earlier read gave.
    virtual void read(const QString &path) = 0;
    // 0 when the tag just read holds a title, an artist or an album; non-zero
    // when the file could not be read or has nothing of the three to use.
    virtual qint16 noTagIndicator() const = 0;
    virtual QString title() const = 0;
    virtual QString artist() const = 0;
    virtual QString album() const = 0;
};
