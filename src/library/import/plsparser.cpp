#include "plsparser.h"

PlsParser::PlsParser(PlayListEncoding encoding)
    : PlayListParser(encoding)
{}

QStringView PlsParser::entryOfLine(QStringView line) const
{
    if (!line.startsWith(u"file", Qt::CaseInsensitive))
        return {};
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return {};
    return line.sliced(equals + 1);
}
