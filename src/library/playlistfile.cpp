#include "playlistfile.h"

#include "legacytext.h"

#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>
#include <QUtf8StringView>

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

// A line break inside a field would end the line: stored as a space. UTF-8
// never has the bytes CR or LF inside a multi-byte character. True when the
// text may hold U+FFFD (its lead byte 0xEF was seen).
bool sanitizeLineBreaks(char *begin, char *end)
{
    bool lead = false;
    for (char *c = begin; c != end; ++c) {
        if (*c == '\r' || *c == '\n')
            *c = ' ';
        else if (*c == '\xEF')
            lead = true;
    }
    return lead;
}

// Text that reads back as written: valid UTF-8 without line breaks.
bool isCanonicalText(QByteArrayView field)
{
    for (const char c : field) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return QUtf8StringView(field.data(), field.size()).isValidUtf8();
    }
    return true;
}

} // namespace

Content parse(const QByteArray &bytes)
{
    Content content;
    // One row per line: counting the line ends first sizes the rows once.
    content.songs.reserve(static_cast<size_t>(bytes.count('\n')) + 1);
    Utf8OrWindows1252Decoder decoder;
    bool expectFolder = false;
    // Whether serialize() gives these very bytes back: every line ends in
    // CR LF and holds exactly six fields, no line is empty, all text is UTF-8.
    bool canonical = true;
    const char *const bytesEnd = bytes.constData() + bytes.size();
    forEachLine(bytes, [&](const char *line, qsizetype size) {
        if (expectFolder) {
            content.shortcutFolder = decoder.decode(QByteArrayView(line, size));
            return false;
        }
        const char *lineEnd = line + size;
        if (bytesEnd - lineEnd < 2 || lineEnd[0] != '\r' || lineEnd[1] != '\n')
            canonical = false;
        if (size == 0) {
            canonical = false;
            return true;
        }
        if (isMarker(line, size)) {
            content.shortcutFolder = QString();
            expectFolder = true;
            return true;
        }
        SongRow &row = content.songs.emplace_back();
        const char *rest = line;
        int column = 0;
        for (; column < kSongColumnCount && rest < lineEnd; ++column) {
            const auto *sep = static_cast<const char *>(
                std::memchr(rest, kFieldEnd, static_cast<size_t>(lineEnd - rest)));
            const char *fieldEnd = sep ? sep : lineEnd;
            const QByteArrayView field(rest, fieldEnd - rest);
            if (canonical && !isCanonicalText(field))
                canonical = false;
            row.fields[static_cast<size_t>(column)] = decoder.decode(field);
            if (!sep)
                canonical = false;
            rest = sep ? sep + 1 : lineEnd;
        }
        if (column < kSongColumnCount || rest != lineEnd)
            canonical = false;
        return true;
    });
    content.canonical = canonical && !content.shortcutFolder;
    return content;
}

QByteArray serialize(const std::vector<SongRow> &songs)
{
    // Each UTF-16 unit takes at most three bytes of UTF-8; the buffer is sized
    // for the worst case once, filled in one pass and cut to its length.
    qsizetype capacity = 0;
    for (const SongRow &song : songs) {
        for (const QString &field : song.fields)
            capacity += field.size() * 3 + 1;
        capacity += 2;
    }
    QByteArray out(capacity, Qt::Uninitialized);
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    char *const begin = out.data();
    char *p = begin;
    for (const SongRow &song : songs) {
        for (const QString &field : song.fields) {
            char *const fieldStart = p;
            p = utf8.appendToBuffer(p, field);
            if (sanitizeLineBreaks(fieldStart, p) && !field.isValidUtf16()) {
                // The encoder writes U+FFFD for an unpaired surrogate where
                // files have always had '?': such rare text takes the old road.
                const QByteArray legacy = field.toUtf8();
                std::memcpy(fieldStart, legacy.constData(), static_cast<size_t>(legacy.size()));
                p = fieldStart + legacy.size();
                sanitizeLineBreaks(fieldStart, p);
            }
            *p++ = kFieldEnd;
        }
        *p++ = '\r';
        *p++ = '\n';
    }
    out.truncate(p - begin);
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
    // Most lists start with a song: its first bytes already tell it is no
    // marker, without reading the list.
    const QByteArray head = file.read(64);
    qsizetype start = 0;
    while (start < head.size() && (head[start] == '\r' || head[start] == '\n'))
        ++start;
    if (start < head.size() && !QByteArrayView(head).sliced(start).startsWith(kShortcutMarker))
        return std::nullopt;
    // Only the first two lines matter; a long first line is a song, not a marker.
    const Content content = parse(head + file.read(64 * 1024 - head.size()));
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
