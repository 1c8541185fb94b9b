#pragma once

#include "playlistparser.h"

// PLS lists: only lines beginning with "file" in any letter case (File1=...)
// name a song, which is the text after the line's first "=". A line without
// "=" or with nothing after it names none; section headers, Title, Length,
// NumberOfEntries and Version lines are ignored.
class PlsParser : public PlayListParser
{
public:
    explicit PlsParser(PlayListEncoding encoding = PlayListEncoding::Utf8OrWindows1252);

protected:
    QStringView entryOfLine(QStringView line) const override;
};
