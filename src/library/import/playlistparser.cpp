#include "playlistparser.h"

#include "library/legacytext.h"

#include <QStringConverter>
#include <QStringDecoder>

#include <optional>

namespace {

QString decoded(const QByteArray &bytes, PlayListEncoding encoding)
{
    if (const std::optional<QStringConverter::Encoding> marked =
            QStringConverter::encodingForData(bytes)) {
        // The decoder drops the mark itself.
        QStringDecoder decoder(*marked);
        return decoder.decode(bytes);
    }
    if (encoding == PlayListEncoding::Utf8)
        return QString::fromUtf8(bytes);
    return Utf8OrWindows1252Decoder().decode(bytes);
}

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

} // namespace

PlayListParser::PlayListParser(PlayListEncoding encoding)
    : m_encoding(encoding)
{}

QStringList PlayListParser::parse(const QByteArray &bytes) const
{
    const QString text = decoded(bytes, m_encoding);
    const QStringView all(text);
    QStringList entries;
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = start;
        while (end < all.size() && !isLineEnd(all[end]))
            ++end;
        // CR LF gives an empty line between CR and LF, skipped like any other.
        const QStringView line = all.sliced(start, end - start).trimmed();
        if (!line.isEmpty() && !line.contains(QChar(u'\0'))) {
            const QStringView entry = entryOfLine(line);
            if (!entry.isEmpty())
                entries.append(entry.toString());
        }
        start = end + 1;
    }
    return entries;
}
