#include "textlimit.h"

#include <algorithm>

namespace {

const QChar kEllipsis(0x2026);

qsizetype characterBoundary(QStringView text, qsizetype at)
{
    if (at > 0 && at < text.size() && text[at - 1].isHighSurrogate() && text[at].isLowSurrogate())
        return at - 1;
    return at;
}

} // namespace

QString cutAtCharacter(QStringView text, qsizetype maxUnits)
{
    if (text.size() <= maxUnits)
        return text.toString();
    return text.first(characterBoundary(text, std::max<qsizetype>(maxUnits, 0))).toString();
}

QString elidedToLength(QStringView text, qsizetype maxUnits)
{
    if (text.size() <= maxUnits)
        return text.toString();
    if (maxUnits <= 0)
        return {};
    return cutAtCharacter(text, maxUnits - 1) + kEllipsis;
}

QString elidedUtf8(QByteArrayView utf8, qsizetype maxUnits)
{
    // Every UTF-8 sequence of n bytes gives at least one unit per 4 bytes, so
    // the first 4 x (maxUnits + 1) bytes decode to more units than are shown
    // whenever the text is cut; a sequence split at that end decodes to a
    // replacement character beyond the cut.
    const qsizetype enough = 4 * (std::max<qsizetype>(maxUnits, 0) + 1);
    if (utf8.size() <= enough)
        return elidedToLength(QString::fromUtf8(utf8), maxUnits);
    const QString start = QString::fromUtf8(utf8.first(enough));
    return elidedToLength(start, maxUnits);
}
