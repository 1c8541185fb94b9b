#include "playlistparser.h"

#include "library/legacytext.h"

#include <QStringConverter>
#include <QStringDecoder>

#include <optional>
#include <system_error>
#include <thread>

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

QStringList PlayListParser::parse(const QByteArray &bytes, const EntryMap &map) const
{
    const QString text = decoded(bytes, m_encoding);
    const QStringView all(text);
    // Each line is read on its own, so a long list is cut at a line end and
    // its halves read on two threads; a short one is not worth a thread.
    constexpr qsizetype kWorthAThread = 256 * 1024;
    qsizetype cut = all.size();
    if (all.size() >= kWorthAThread && std::thread::hardware_concurrency() > 1) {
        cut = all.size() / 2;
        while (cut < all.size() && !isLineEnd(all[cut]))
            ++cut;
    }
    QStringList second;
    std::thread reader;
    if (cut < all.size()) {
        try {
            reader = std::thread([&] { second = entriesOf(all.sliced(cut), map); });
        } catch (const std::system_error &) {
            cut = all.size();
        }
    }
    QStringList entries = entriesOf(all.first(cut), map);
    if (reader.joinable()) {
        reader.join();
        entries.append(std::move(second));
    }
    return entries;
}

QStringList PlayListParser::entriesOf(QStringView text, const EntryMap &map) const
{
    QStringList entries;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && !isLineEnd(text[end]))
            ++end;
        // CR LF gives an empty line between CR and LF, skipped like any other.
        const QStringView line = text.sliced(start, end - start).trimmed();
        if (!line.isEmpty() && !line.contains(QChar(u'\0'))) {
            const QStringView entry = entryOfLine(line);
            if (!entry.isEmpty())
                entries.append(map ? map(entry) : entry.toString());
        }
        start = end + 1;
    }
    return entries;
}
