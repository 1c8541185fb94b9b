#include "playlistfile.h"

#include "legacytext.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace PlayListFile {
namespace {

// Calls lineHandler(begin, length) for each line; CR LF, LF and a lone CR all
// end a line. Stops early when the handler returns false.
template <typename Handler>
void forEachLine(const QByteArray &bytes, Handler lineHandler)
{
    const char *p = bytes.constData();
    const char *end = p + bytes.size();
    while (p < end) {
        const char *lineEnd = p;
        while (lineEnd < end && *lineEnd != '\n' && *lineEnd != '\r')
            ++lineEnd;
        if (!lineHandler(p, static_cast<qsizetype>(lineEnd - p)))
            return;
        p = lineEnd;
        if (p < end && *p++ == '\r' && p < end && *p == '\n')
            ++p;
    }
}

bool isMarker(const char *line, qsizetype size)
{
    const auto markerSize = static_cast<qsizetype>(sizeof(kShortcutMarker) - 1);
    return size == markerSize && std::memcmp(line, kShortcutMarker, markerSize) == 0;
}

QString sanitizedField(const QString &field)
{
    if (!field.contains(QLatin1Char('\r')) && !field.contains(QLatin1Char('\n')))
        return field;
    QString clean = field;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' '));
    clean.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return clean;
}

} // namespace

Content parse(const QByteArray &bytes)
{
    Content content;
    Utf8OrWindows1252Decoder decoder;
    bool expectFolder = false;
    forEachLine(bytes, [&](const char *line, qsizetype size) {
        if (expectFolder) {
            content.shortcutFolder = decoder.decode(QByteArrayView(line, size));
            return false;
        }
        if (size == 0)
            return true;
        if (isMarker(line, size)) {
            content.shortcutFolder = QString();
            expectFolder = true;
            return true;
        }
        SongRow row;
        const char *rest = line;
        const char *lineEnd = line + size;
        for (int column = 0; column < kSongColumnCount && rest < lineEnd; ++column) {
            const auto *sep = static_cast<const char *>(
                std::memchr(rest, kFieldEnd, static_cast<size_t>(lineEnd - rest)));
            const char *fieldEnd = sep ? sep : lineEnd;
            row.fields[static_cast<size_t>(column)] =
                decoder.decode(QByteArrayView(rest, fieldEnd - rest));
            rest = sep ? sep + 1 : lineEnd;
        }
        content.songs.push_back(std::move(row));
        return true;
    });
    return content;
}

QByteArray serialize(const std::vector<SongRow> &songs)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(songs.size()) * 96);
    for (const SongRow &song : songs) {
        for (const QString &field : song.fields) {
            out += sanitizedField(field).toUtf8();
            out += kFieldEnd;
        }
        out += "\r\n";
    }
    return out;
}

QByteArray serializeShortcut(const QString &folder)
{
    QByteArray out(kShortcutMarker);
    out += "\r\n";
    out += sanitizedField(folder).toUtf8();
    out += "\r\n";
    return out;
}

std::optional<QString> readShortcutFolder(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Only the first two lines matter; a long first line is a song, not a marker.
    const Content content = parse(file.read(64 * 1024));
    if (!content.songs.empty() || !content.shortcutFolder)
        return std::nullopt;
    return content.shortcutFolder;
}

std::optional<QByteArray> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile's commit does not see an error that only shows when its
    // buffer is flushed (a full disk, a file size limit) and would put the
    // short file in place of the old one; flush first and check.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace PlayListFile
