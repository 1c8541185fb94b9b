#include "songrow.h"

#include "core/duration.h"

#include <QStringEncoder>

#include <cstring>
#include <limits>

namespace {

constexpr std::array<const char *, kSongColumnCount> kKeys{"chTitle", "chArtist", "chAlbum",
                                                           "chGenre", "chLen",    "chFile"};
constexpr std::array<const char *, kSongColumnCount> kCaptions{"Title", "Artist", "Album",
                                                               "Genre", "Len",    "File"};
constexpr char kFieldEnd = '\xFF';
// The line of a row of six empty fields.
constexpr char kEmptyLine[] = "\xFF\xFF\xFF\xFF\xFF\xFF";

bool holdsLineBreak(QByteArrayView bytes)
{
    return std::memchr(bytes.data(), '\r', static_cast<size_t>(bytes.size())) ||
           std::memchr(bytes.data(), '\n', static_cast<size_t>(bytes.size()));
}

} // namespace

// A list of 100,000 songs keeps 100,000 of these.
static_assert(sizeof(void *) != 8 || sizeof(SongRow) <= 24);

SongRow::SongRow() = default;

QByteArrayView SongRow::line() const
{
    if (!m_bytes)
        return QByteArrayView(kEmptyLine, sizeof(kEmptyLine) - 1);
    return {m_bytes->data.constData() + m_begin, m_size};
}

SongRow::SongRow(const std::array<QString, kSongColumnCount> &fields)
    : SongRow(std::array<QStringView, kSongColumnCount>{fields[0], fields[1], fields[2], fields[3],
                                                        fields[4], fields[5]})
{}

SongRow::SongRow(const std::array<QStringView, kSongColumnCount> &fields)
{
    // Each UTF-16 unit takes at most three bytes of UTF-8: one buffer sized
    // for the worst case, filled in one pass.
    qsizetype capacity = 0;
    for (const QStringView field : fields)
        capacity += field.size() * 3 + 1;
    QByteArray line(capacity, Qt::Uninitialized);
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    char *p = line.data();
    for (const QStringView field : fields) {
        if (field.isValidUtf16()) {
            p = utf8.appendToBuffer(p, field);
        } else {
            // The encoder writes U+FFFD for an unpaired surrogate where files
            // have always had '?'.
            const QByteArray legacy = field.toUtf8();
            std::memcpy(p, legacy.constData(), static_cast<size_t>(legacy.size()));
            p += legacy.size();
        }
        *p++ = kFieldEnd;
    }
    line.truncate(p - line.constData());
    setOwnLine(std::move(line));
}

SongRow SongRow::fromStoredLine(const SharedSongBytes &bytes, qsizetype begin, qsizetype size)
{
    SongRow row;
    if (bytes->data.size() > std::numeric_limits<qint32>::max()) {
        row.setOwnLine(bytes->data.mid(begin, size));
        return row;
    }
    row.m_bytes = bytes;
    row.m_begin = static_cast<quint32>(begin);
    row.m_size = static_cast<quint32>(size);
    return row;
}

QByteArrayView SongRow::fieldUtf8(SongColumn column) const
{
    const QByteArrayView all = line();
    const char *p = all.data();
    const char *const end = p + all.size();
    for (int i = 0;; ++i) {
        const auto *sep =
            static_cast<const char *>(std::memchr(p, kFieldEnd, static_cast<size_t>(end - p)));
        if (!sep)
            return {};
        if (i == column)
            return {p, sep - p};
        p = sep + 1;
    }
}

QString SongRow::field(SongColumn column) const
{
    return QString::fromUtf8(fieldUtf8(column));
}

std::array<QString, kSongColumnCount> SongRow::fields() const
{
    std::array<QString, kSongColumnCount> out;
    for (int i = 0; i < kSongColumnCount; ++i)
        out[static_cast<size_t>(i)] = field(static_cast<SongColumn>(i));
    return out;
}

void SongRow::setField(SongColumn column, QStringView text)
{
    const QByteArrayView all = line();
    const QByteArrayView old = fieldUtf8(column);
    const qsizetype before = old.data() - all.data();
    const qsizetype after = before + old.size();
    QByteArray line;
    line.reserve(all.size() - old.size() + text.size() * 3);
    line.append(all.first(before));
    line.append(text.toUtf8());
    line.append(all.sliced(after));
    setOwnLine(std::move(line));
}

void SongRow::packLines(std::span<SongRow> rows)
{
    // Buffers of 64 KiB: big enough that their own cost vanishes, small
    // enough to come from the heap's pages at hand rather than from fresh
    // mappings, whose every page the system must first fault in.
    constexpr qsizetype kBufferBytes = 64 * 1024;
    size_t first = 0;
    while (first < rows.size()) {
        qsizetype bytes = 0;
        size_t end = first;
        while (end < rows.size() &&
               (end == first || bytes + rows[end].line().size() <= kBufferBytes))
            bytes += rows[end++].line().size();
        const SharedSongBytes shared(new SongBytes(QByteArray(bytes, Qt::Uninitialized)));
        char *out = shared->data.data();
        for (size_t i = first; i < end; ++i) {
            const QByteArrayView line = rows[i].line();
            std::memcpy(out, line.data(), static_cast<size_t>(line.size()));
            out += line.size();
        }
        quint32 begin = 0;
        for (size_t i = first; i < end; ++i) {
            const auto size = static_cast<quint32>(rows[i].line().size());
            rows[i].m_bytes = shared;
            rows[i].m_begin = begin;
            rows[i].m_size = size;
            begin += size;
        }
        first = end;
    }
}

void SongRow::setOwnLine(QByteArray line)
{
    m_lineBreaks = holdsLineBreak(line) ? 1 : 0;
    line.squeeze();
    m_begin = 0;
    m_size = static_cast<quint32>(line.size());
    m_bytes = SharedSongBytes(new SongBytes(std::move(line)));
}

qint64 playSecondsOfLength(QByteArrayView len)
{
    // Length texts are short and plain: read in place, without a string each.
    std::array<char16_t, 16> units;
    bool ascii = len.size() <= qsizetype(units.size());
    for (qsizetype i = 0; ascii && i < len.size(); ++i) {
        ascii = static_cast<unsigned char>(len[i]) < 0x80;
        units[static_cast<size_t>(i)] = static_cast<char16_t>(len[i]);
    }
    const qint64 parsed = ascii ? ParseDuration(QStringView(units.data(), len.size()))
                                : ParseDuration(QString::fromUtf8(len));
    // Each term is bounded, so the sum of any number of rows fits.
    return qBound<qint64>(0, parsed, kMaxPlayTime);
}

QString songColumnKey(SongColumn column)
{
    return QString::fromLatin1(kKeys[column]);
}

std::optional<SongColumn> songColumnFromKey(QStringView key)
{
    for (int i = 0; i < kSongColumnCount; ++i) {
        if (key == QLatin1String(kKeys[i]))
            return static_cast<SongColumn>(i);
    }
    return std::nullopt;
}

QString songColumnCaption(SongColumn column)
{
    return QString::fromLatin1(kCaptions[column]);
}
