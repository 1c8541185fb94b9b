#include "playlistfile.h"

#include "legacytext.h"

#include <QFile>
#include <QSaveFile>
#include <QUtf8StringView>

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <thread>

namespace PlayListFile {
namespace {

// Calls lineHandler(begin, length) for each line; CR LF, LF and a lone CR all
// end a line. Stops early when the handler returns false.
//
// The next CR and the next LF are each looked for once and kept until the
// lines pass them, so every byte is searched at most once for each, whatever
// the mix of line ends: linear in the size of the file.
template <typename Handler>
void forEachLine(const char *p, const char *end, Handler lineHandler)
{
    const auto find = [end](const char *from, char c) {
        const auto *found =
            static_cast<const char *>(std::memchr(from, c, static_cast<size_t>(end - from)));
        return found ? found : end;
    };
    const char *cr = find(p, '\r');
    const char *lf = find(p, '\n');
    while (p < end) {
        if (cr < p)
            cr = find(p, '\r');
        if (lf < p)
            lf = find(p, '\n');
        const char *lineEnd = std::min(cr, lf);
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
// never has the bytes CR or LF inside a multi-byte character.
void sanitizeLineBreaks(char *begin, char *end)
{
    for (char *c = begin; c != end; ++c) {
        if (*c == '\r' || *c == '\n')
            *c = ' ';
    }
}

// Text that reads back as written: valid UTF-8 without line breaks.
// Whether no byte has its top bit set, looked at eight bytes at a time.
bool isAscii(QByteArrayView text)
{
    const char *p = text.data();
    const qsizetype size = text.size();
    quint64 bits = 0;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, p + i, sizeof word);
        bits |= word;
    }
    for (; i < size; ++i)
        bits |= static_cast<unsigned char>(p[i]);
    return (bits & 0x8080808080808080ULL) == 0;
}

bool isCanonicalText(QByteArrayView field)
{
    return isAscii(field) || QUtf8StringView(field.data(), field.size()).isValidUtf8();
}

qsizetype lineFeeds(const char *begin, const char *end)
{
    qsizetype count = 0;
    for (const char *p = begin;
         (p = static_cast<const char *>(std::memchr(p, '\n', static_cast<size_t>(end - p)))); ++p)
        ++count;
    return count;
}

// Lists at least this big are parsed in two halves at once.
constexpr qsizetype kParallelParseBytes = 2 * 1024 * 1024;

// The rows of the lines in [from, to): `from` starts a line, `to` ends one
// (or the bytes). `expectFolder` comes back true when the part ends
// on a shortcut marker whose folder line is not in it.
struct Part
{
    Content content;
    bool canonical = true;
    bool expectFolder = false;
};

Part parsePart(const char *from, const char *to)
{
    Part part;
    SongRowPacker packer;
    Content &content = part.content;
    // One row per line: counting the line ends first sizes the rows once.
    content.songs.reserve(static_cast<size_t>(lineFeeds(from, to)) + 1);
    Utf8OrWindows1252Decoder decoder;
    bool &expectFolder = part.expectFolder;
    // Whether serialize() gives these very bytes back: every line ends in
    // CR LF and holds exactly six fields, no line is empty, all text is UTF-8.
    bool &canonical = part.canonical;
    forEachLine(from, to, [&](const char *line, qsizetype size) {
        if (expectFolder) {
            content.shortcutFolder = decoder.decode(QByteArrayView(line, size));
            expectFolder = false;
            return false;
        }
        const char *lineEnd = line + size;
        if (to - lineEnd < 2 || lineEnd[0] != '\r' || lineEnd[1] != '\n')
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
        // Most lines are six fields of UTF-8 exactly: the row is that line,
        // packed.
        std::array<QByteArrayView, kSongColumnCount> fields;
        bool wellFormed = true;
        const char *rest = line;
        int column = 0;
        for (; column < kSongColumnCount && rest < lineEnd; ++column) {
            const auto *sep = static_cast<const char *>(
                std::memchr(rest, kFieldEnd, static_cast<size_t>(lineEnd - rest)));
            const char *fieldEnd = sep ? sep : lineEnd;
            fields[static_cast<size_t>(column)] = QByteArrayView(rest, fieldEnd - rest);
            if (!sep || (wellFormed && !isCanonicalText(fields[static_cast<size_t>(column)])))
                wellFormed = false;
            rest = sep ? sep + 1 : lineEnd;
        }
        if (column < kSongColumnCount || rest != lineEnd)
            wellFormed = false;
        if (wellFormed) {
            content.songs.push_back(packer.add(fields));
            content.playSeconds += playSecondsOfLength(fields[chLen]);
            return true;
        }
        canonical = false;
        std::array<QString, kSongColumnCount> text;
        for (int i = 0; i < column; ++i)
            text[static_cast<size_t>(i)] = decoder.decode(fields[static_cast<size_t>(i)]);
        content.playSeconds +=
            playSecondsOfLength(content.songs.emplace_back(text).fieldUtf8(chLen));
        return true;
    });
    return part;
}

} // namespace

Content parse(const QByteArray &bytes)
{
    // Rows keep packed copies of their lines, never the bytes read.
    const char *const begin = bytes.constData();
    const char *const end = begin + bytes.size();

    // A big list is read in two halves at once, split after a line feed: the
    // second half on a thread of its own. The rows are the same either way.
    const char *split = end;
    if (bytes.size() >= kParallelParseBytes) {
        const char *middle = begin + bytes.size() / 2;
        const auto *lf = static_cast<const char *>(
            std::memchr(middle, '\n', static_cast<size_t>(end - middle)));
        if (lf)
            split = lf + 1;
    }
    Part second;
    std::thread reader;
    if (split < end)
        reader = std::thread([&] { second = parsePart(split, end); });
    Part first = parsePart(begin, split);
    if (reader.joinable())
        reader.join();

    Content content = std::move(first.content);
    bool canonical = first.canonical;
    if (first.expectFolder) {
        // The marker ended the first half: the folder is the second's first line.
        forEachLine(split, end, [&](const char *line, qsizetype size) {
            content.shortcutFolder = Utf8OrWindows1252Decoder().decode(QByteArrayView(line, size));
            return false;
        });
    } else if (!content.shortcutFolder && split < end) {
        content.songs.reserve(content.songs.size() + second.content.songs.size());
        std::move(second.content.songs.begin(), second.content.songs.end(),
                  std::back_inserter(content.songs));
        content.playSeconds += second.content.playSeconds;
        content.shortcutFolder = std::move(second.content.shortcutFolder);
        canonical = canonical && second.canonical;
    }
    content.canonical = canonical && !content.shortcutFolder;
    return content;
}

QByteArray serialize(const std::vector<SongRow> &songs)
{
    qsizetype size = 0;
    for (const SongRow &song : songs)
        size += song.lineSize() + 2;
    QByteArray out(size, Qt::Uninitialized);
    char *p = out.data();
    for (const SongRow &song : songs) {
        char *const line = p;
        p = song.writeLine(p);
        if (song.hasLineBreaks())
            sanitizeLineBreaks(line, p);
        *p++ = '\r';
        *p++ = '\n';
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
