#pragma once

#include "playlistparser.h"

// M3U lists (plain and extended): every line names a song, except lines
// beginning with "#", which are comments and directives (#EXTM3U,
// #EXTINF:123,Artist - Title).
class M3uParser : public PlayListParser
{
public:
    explicit M3uParser(PlayListEncoding encoding = PlayListEncoding::Utf8OrWindows1252);

protected:
    QStringView entryOfLine(QStringView line) const override;
};
