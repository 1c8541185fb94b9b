#pragma once

#include <QByteArray>
#include <QString>

// Real MPEG audio files with ID3 tags, written through TagLib, for the tag
// reader's tests and benchmark.

struct TagTexts
{
    QString title;
    QString artist;
    QString album;
};

enum class TagKinds
{
    None,
    Id3v2,
    Id3v1,
    Both,
};

// Writes `frames` silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz) as
// `path`; true when written.
bool writeSilentMp3(const QString &path, int frames = 8);

// Writes a silent mp3 at `path` and gives it the tags of `kinds` holding
// `texts` (empty texts are left out, as TagLib does). `pictureBytes` adds a
// cover picture of that size to the ID3v2 tag. True when written.
bool writeTaggedMp3(const QString &path, const TagTexts &texts, TagKinds kinds = TagKinds::Id3v2,
                    int pictureBytes = 0);

// A raw ID3v1 tag (128 bytes) with the given bytes in its title, artist and
// album fields, padded with NULs, for text TagLib would not write itself.
QByteArray rawId3v1(const QByteArray &title, const QByteArray &artist, const QByteArray &album);
