#include "m3uparser.h"

M3uParser::M3uParser(PlayListEncoding encoding)
    : PlayListParser(encoding)
{}

QStringView M3uParser::entryOfLine(QStringView line) const
{
    if (line.startsWith(u'#'))
        return {};
    return line;
}
