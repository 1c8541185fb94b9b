#pragma once

#include "id3tagreader.h"

// The tag reader over TagLib: ID3v2 (2.2 to 2.4), ID3v1 and APE tags of MPEG
// files, and the tags TagLib knows in other media files. Where a file has
// several tags, each text comes from the first tag that holds it. ID3v1 text
// is read as UTF-8 when it is valid UTF-8, else as Windows-1252, and loses the
// padding of its fixed-width fields; all other text is used as the tag holds it,
// up to its first NUL and at most kLongestFieldText characters.
class TagLibTagReader final : public Id3TagReader
{
public:
    TagLibTagReader();

    void read(const QString &path) override;
    qint16 noTagIndicator() const override { return m_indicator; }
    QString title() const override { return m_title; }
    QString artist() const override { return m_artist; }
    QString album() const override { return m_album; }

    // Indicator values.
    static constexpr qint16 kNoUsableTag = 1;
    static constexpr qint16 kUnreadable = 2;

private:
    qint16 m_indicator = kUnreadable;
    QString m_title;
    QString m_artist;
    QString m_album;
};
