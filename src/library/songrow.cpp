#include "songrow.h"

#include "core/duration.h"

#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace {

constexpr std::array<const char *, kSongColumnCount> kKeys{"chTitle", "chArtist", "chAlbum",
                                                           "chGenre", "chLen",    "chFile"};
constexpr std::array<const char *, kSongColumnCount> kCaptions{"Title", "Artist", "Album",
                                                               "Genre", "Len",    "File"};
constexpr char kFieldEnd = '\xFF';
// The line of a row of six empty fields.
constexpr char kEmptyLine[] = "\xFF\xFF\xFF\xFF\xFF\xFF";

// In a packed buffer a field may start with a mark that UTF-8 never holds:
// kRef and two digits tell how far back the same text starts (it ends at
// its 0xFF); kFolderRef, two digits of distance and two of size, the folder
// that the rest of the field follows; kNameRef (titles only), two digits of
// distance forward and one of size, the piece of the row's own file name
// that the rest of the title follows; kGroupRef (artists only), two digits
// of distance back to the artist of a line whose artist, album and genre are
// this line's too, in place of these three fields and their first two 0xFF;
// kLength (lengths only), two digits that count the seconds of a length
// written as mm:ss. Digits are 7 bits each, so that a reference never holds
// the byte 0xFF that ends a field. A text further back than two digits reach
// is written plainly again: runs of one album, as lists mostly hold them,
// stay well within 16 KiB.
constexpr auto kRef = static_cast<unsigned char>(0xFE);
constexpr auto kFolderRef = static_cast<unsigned char>(0xFD);
constexpr auto kNameRef = static_cast<unsigned char>(0xFC);
constexpr auto kGroupRef = static_cast<unsigned char>(0xFB);
constexpr auto kLength = static_cast<unsigned char>(0xFA);

constexpr int kDistanceDigits = 2;
constexpr qsizetype kRefBytes = 1 + kDistanceDigits;
constexpr qsizetype kFolderRefBytes = 1 + kDistanceDigits + 2;
constexpr qsizetype kNameRefBytes = 1 + kDistanceDigits + 1;
constexpr qsizetype kMaxNamePiece = 0x7F;
// A shorter piece saves too little to be worth decoding in two halves.
constexpr qsizetype kMinNamePiece = kNameRefBytes + 4;
// Names are searched only this far: a longer one is rare, and the search
// costs its size times the title's.
constexpr qsizetype kMaxNameSearched = 512;
constexpr qsizetype kMaxDistance = (qsizetype(1) << (7 * kDistanceDigits)) - 1;
constexpr qsizetype kMaxFolder = (qsizetype(1) << 14) - 1;
// Big enough that their own cost vanishes, small enough to come from the
// heap's pages at hand rather than from fresh mappings, whose every page the
// system must first fault in.
constexpr qsizetype kBufferBytes = 64 * 1024;

// "00:00" to "99:59", one after the other: what a kLength field reads as.
constexpr int kLengthTexts = 100 * 60;
constexpr qsizetype kLengthTextSize = 5;
constexpr auto kLengthText = [] {
    std::array<char, kLengthTexts * kLengthTextSize> texts{};
    for (int seconds = 0; seconds < kLengthTexts; ++seconds) {
        char *text = texts.data() + seconds * kLengthTextSize;
        text[0] = static_cast<char>('0' + seconds / 600);
        text[1] = static_cast<char>('0' + seconds / 60 % 10);
        text[2] = ':';
        text[3] = static_cast<char>('0' + seconds % 60 / 10);
        text[4] = static_cast<char>('0' + seconds % 10);
    }
    return texts;
}();

// The seconds of a length written exactly as mm:ss, else -1.
int lengthSeconds(QByteArrayView text)
{
    const auto digit = [&text](int i, char most) {
        return text[i] >= '0' && text[i] <= most ? text[i] - '0' : -1;
    };
    if (text.size() != kLengthTextSize || text[2] != ':')
        return -1;
    const int parts[] = {digit(0, '9'), digit(1, '9'), digit(3, '5'), digit(4, '9')};
    if (std::find(std::begin(parts), std::end(parts), -1) != std::end(parts))
        return -1;
    return (parts[0] * 10 + parts[1]) * 60 + parts[2] * 10 + parts[3];
}

char *writeDigits(char *p, qsizetype value, int count)
{
    for (int i = 0; i < count; ++i, value >>= 7)
        *p++ = static_cast<char>(value & 0x7F);
    return p;
}

qsizetype readDigits(const char *p, int count)
{
    qsizetype value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 7) | static_cast<unsigned char>(p[i]);
    return value;
}

// The part of a path up to its last separator, included.
qsizetype folderSize(QByteArrayView path)
{
    for (qsizetype i = path.size(); i > 0; --i) {
        if (path[i - 1] == '/' || path[i - 1] == '\\')
            return i;
    }
    return 0;
}

// The longest start of `title` that `name` holds, ending where a character
// of the title ends (so that the piece and the rest decode apart): its place
// in `name` and its size, or a size of 0 when none is worth a reference.
std::pair<qsizetype, qsizetype> titlePieceIn(QByteArrayView name, QByteArrayView title)
{
    if (title.size() < kMinNamePiece || name.size() < kMinNamePiece ||
        name.size() > kMaxNameSearched)
        return {0, 0};
    qsizetype bestAt = 0;
    qsizetype best = 0;
    const qsizetype most = std::min(title.size(), kMaxNamePiece);
    for (qsizetype at = 0; at + best < name.size(); ++at) {
        qsizetype size = 0;
        const qsizetype reach = std::min(most, name.size() - at);
        while (size < reach && name[at + size] == title[size])
            ++size;
        // Back to where a character of the title ends.
        while (size > 0 && size < title.size() &&
               (static_cast<unsigned char>(title[size]) & 0xC0) == 0x80)
            --size;
        if (size > best) {
            best = size;
            bestAt = at;
        }
    }
    return best >= kMinNamePiece ? std::pair{bestAt, best} : std::pair<qsizetype, qsizetype>{0, 0};
}

bool holdsLineBreak(QByteArrayView bytes)
{
    return std::memchr(bytes.data(), '\r', static_cast<size_t>(bytes.size())) ||
           std::memchr(bytes.data(), '\n', static_cast<size_t>(bytes.size()));
}

// The field of a packed line in [p, sep): its shared head (the folder of a
// path, the piece of its file name a title starts with; else empty) and the
// rest.
std::pair<QByteArrayView, QByteArrayView> resolveField(const char *p, const char *sep)
{
    if (p == sep)
        return {};
    const auto mark = static_cast<unsigned char>(*p);
    if (mark == kRef) {
        const char *text = p - readDigits(p + 1, kDistanceDigits);
        const auto *textEnd =
            static_cast<const char *>(std::memchr(text, kFieldEnd, static_cast<size_t>(p - text)));
        return {{}, {text, textEnd - text}};
    }
    if (mark == kFolderRef) {
        const char *folder = p - readDigits(p + 1, kDistanceDigits);
        const char *rest = p + kFolderRefBytes;
        return {{folder, readDigits(p + 1 + kDistanceDigits, 2)}, {rest, sep - rest}};
    }
    if (mark == kLength)
        return {{}, {kLengthText.data() + readDigits(p + 1, kDistanceDigits) * kLengthTextSize,
                     kLengthTextSize}};
    if (mark == kNameRef) {
        const char *piece = p + readDigits(p + 1, kDistanceDigits);
        const char *rest = p + kNameRefBytes;
        return {{piece, readDigits(p + 1 + kDistanceDigits, 1)}, {rest, sep - rest}};
    }
    return {{}, {p, sep - p}};
}

// Calls `use(column, head, rest)` for each field of the packed line at `p`
// in order, until it returns false; `end` bounds the line. Returns where the
// line ends, after its last 0xFF (null when `use` stopped the walk).
template <typename Use>
const char *walkLine(const char *p, const char *const end, Use use)
{
    for (int column = 0; column < kSongColumnCount; ++column) {
        const auto *sep =
            static_cast<const char *>(std::memchr(p, kFieldEnd, static_cast<size_t>(end - p)));
        if (!sep)
            return end;
        if (column == chArtist && p != sep && static_cast<unsigned char>(*p) == kGroupRef) {
            // The group's line lies before this one: its fields end before it.
            const char *q = p - readDigits(p + 1, kDistanceDigits);
            for (; column <= chGenre; ++column) {
                const auto *groupSep = static_cast<const char *>(
                    std::memchr(q, kFieldEnd, static_cast<size_t>(p - q)));
                const auto [head, rest] = resolveField(q, groupSep);
                if (!use(column, head, rest))
                    return nullptr;
                q = groupSep + 1;
            }
            column = chGenre;
        } else {
            const auto [head, rest] = resolveField(p, sep);
            if (!use(column, head, rest))
                return nullptr;
        }
        p = sep + 1;
    }
    return p;
}

// Calls `use(column, head, rest)` for each field of a packed line, in order;
// `line` may run on past the line's end.
template <typename Use>
void forEachField(QByteArrayView line, Use use)
{
    walkLine(line.data(), line.data() + line.size(),
             [&use](int column, QByteArrayView head, QByteArrayView rest) {
                 use(column, head, rest);
                 return true;
             });
}

bool isRefColumn(int column)
{
    return column == chArtist || column == chAlbum || column == chGenre;
}

} // namespace

// A list of 100,000 songs keeps 100,000 of these.
static_assert(sizeof(void *) != 8 || sizeof(SongRow) <= 16);

SongRow::SongRow() = default;

QByteArrayView SongRow::lineOnward() const
{
    if (!m_bytes)
        return QByteArrayView(kEmptyLine, sizeof(kEmptyLine) - 1);
    return QByteArrayView(m_bytes->data).sliced(m_begin);
}

QByteArrayView SongRow::encodedLine() const
{
    const QByteArrayView onward = lineOnward();
    const char *const end = walkLine(onward.data(), onward.data() + onward.size(),
                                     [](int, QByteArrayView, QByteArrayView) { return true; });
    return onward.first(end - onward.data());
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

std::pair<QByteArrayView, QByteArrayView> SongRow::fieldParts(SongColumn column) const
{
    std::pair<QByteArrayView, QByteArrayView> parts;
    const QByteArrayView onward = lineOnward();
    walkLine(onward.data(), onward.data() + onward.size(),
             [&parts, column](int i, QByteArrayView head, QByteArrayView rest) {
                 if (i != column)
                     return true;
                 parts = {head, rest};
                 return false;
             });
    return parts;
}

QByteArray SongRow::fieldUtf8(SongColumn column) const
{
    const auto [folder, rest] = fieldParts(column);
    if (folder.isEmpty())
        return QByteArray::fromRawData(rest.data(), rest.size());
    QByteArray whole(folder.size() + rest.size(), Qt::Uninitialized);
    std::memcpy(whole.data(), folder.data(), static_cast<size_t>(folder.size()));
    std::memcpy(whole.data() + folder.size(), rest.data(), static_cast<size_t>(rest.size()));
    return whole;
}

QString SongRow::field(SongColumn column) const
{
    const auto [head, rest] = fieldParts(column);
    if (head.isEmpty())
        return QString::fromUtf8(rest);
    // A head ends where a character does: the two halves decode apart.
    return QString::fromUtf8(head) + QString::fromUtf8(rest);
}

std::array<QString, kSongColumnCount> SongRow::fields() const
{
    std::array<QString, kSongColumnCount> out;
    for (int i = 0; i < kSongColumnCount; ++i)
        out[static_cast<size_t>(i)] = field(static_cast<SongColumn>(i));
    return out;
}

qsizetype SongRow::lineSize() const
{
    if (!m_bytes)
        return kSongColumnCount;
    if (m_lineSize != kUnknownSize)
        return m_lineSize;
    qsizetype size = kSongColumnCount;
    forEachField(lineOnward(), [&size](int, QByteArrayView folder, QByteArrayView rest) {
        size += folder.size() + rest.size();
    });
    return size;
}

char *SongRow::writeLine(char *out) const
{
    forEachField(lineOnward(), [&out](int, QByteArrayView folder, QByteArrayView rest) {
        out = std::copy(folder.begin(), folder.end(), out);
        out = std::copy(rest.begin(), rest.end(), out);
        *out++ = kFieldEnd;
    });
    return out;
}

QByteArray SongRow::line() const
{
    QByteArray out(lineSize(), Qt::Uninitialized);
    writeLine(out.data());
    return out;
}

void SongRow::setField(SongColumn column, QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray line;
    line.reserve(lineSize() + utf8.size());
    forEachField(lineOnward(), [&](int i, QByteArrayView folder, QByteArrayView rest) {
        if (i == column) {
            line.append(utf8);
        } else {
            line.append(folder);
            line.append(rest);
        }
        line.append(kFieldEnd);
    });
    setOwnLine(std::move(line));
}

void SongRow::packLines(std::span<SongRow> rows)
{
    SongRowPacker packer;
    std::array<QByteArrayView, kSongColumnCount> fields;
    QByteArray path;
    for (SongRow &row : rows) {
        forEachField(row.lineOnward(), [&](int i, QByteArrayView folder, QByteArrayView rest) {
            if (folder.isEmpty()) {
                fields[static_cast<size_t>(i)] = rest;
                return;
            }
            path = folder.toByteArray();
            path.append(rest);
            fields[static_cast<size_t>(i)] = path;
        });
        const SongRow packed = packer.add(fields, row.m_lineBreaks);
        row.m_bytes = packed.m_bytes;
        row.m_begin = packed.m_begin;
        row.m_lineSize = packed.m_lineSize;
    }
}

void SongRow::setOwnLine(QByteArray line)
{
    m_lineBreaks = holdsLineBreak(line) ? 1 : 0;
    line.squeeze();
    m_begin = 0;
    m_lineSize = static_cast<quint16>(std::min<qsizetype>(line.size(), kUnknownSize));
    m_bytes = SharedSongBytes(new SongBytes(std::move(line)));
}

SongRow SongRowPacker::add(const std::array<QByteArrayView, kSongColumnCount> &fields,
                           bool lineBreaks)
{
    qsizetype plainSize = kSongColumnCount;
    for (const QByteArrayView field : fields)
        plainSize += field.size();
    // A row starts within 64 KiB of its buffer's start.
    if (!m_shared || m_capacity - m_used < plainSize || m_used > 0xFFFF) {
        finishBuffer();
        m_capacity = std::max(kBufferBytes, plainSize);
        m_shared = SharedSongBytes(new SongBytes(QByteArray(m_capacity, Qt::Uninitialized)));
        m_data = m_shared->data.data();
        m_used = 0;
        m_plain.fill(-1);
        m_group = -1;
    }
    // The plain text at `at` is `text` exactly: it ends where `text` does.
    const auto plainIs = [this](qsizetype at, QByteArrayView text) {
        return at >= 0 && at + text.size() < m_used && m_data[at + text.size()] == kFieldEnd &&
               std::memcmp(m_data + at, text.data(), static_cast<size_t>(text.size())) == 0;
    };
    // A title that starts with a piece of the row's file name refers to it
    // there, forward: no written field is longer than its text, so a line
    // that two digits span keeps the distance within them.
    const QByteArrayView file = fields[chFile];
    const qsizetype fileFolder = folderSize(file);
    const auto [pieceAt, pieceSize] = plainSize <= kMaxDistance
        ? titlePieceIn(file.sliced(fileFolder), fields[chTitle])
        : std::pair<qsizetype, qsizetype>{0, 0};
    // The artist, album and genre of the last group, if these are worth a
    // reference.
    const bool sameGroup = m_group >= 0 &&
        fields[chArtist].size() + fields[chAlbum].size() + fields[chGenre].size() + 2 > kRefBytes &&
        fields[chArtist] == m_groupTexts[0] && fields[chAlbum] == m_groupTexts[1] &&
        fields[chGenre] == m_groupTexts[2];
    char *const start = m_data + m_used;
    char *p = start;
    char *nameRef = nullptr;
    for (int column = 0; column < kSongColumnCount; ++column) {
        const QByteArrayView field = fields[static_cast<size_t>(column)];
        const qsizetype at = p - m_data;
        if (column == chArtist && sameGroup && at - m_group <= kMaxDistance) {
            *p++ = static_cast<char>(kGroupRef);
            p = writeDigits(p, at - m_group, kDistanceDigits);
            column = chGenre;
        } else if (const int seconds = column == chLen ? lengthSeconds(field) : -1;
                   seconds >= 0) {
            *p++ = static_cast<char>(kLength);
            p = writeDigits(p, seconds, kDistanceDigits);
        } else if (column == chTitle && pieceSize > 0) {
            // Its distance is known once the file name is written.
            nameRef = p;
            *p++ = static_cast<char>(kNameRef);
            p = writeDigits(p, 0, kDistanceDigits);
            p = writeDigits(p, pieceSize, 1);
            p = std::copy(field.begin() + pieceSize, field.end(), p);
        } else if (isRefColumn(column) && field.size() > kRefBytes && plainIs(m_plain[column], field) &&
            at - m_plain[column] <= kMaxDistance) {
            *p++ = static_cast<char>(kRef);
            p = writeDigits(p, at - m_plain[column], kDistanceDigits);
            m_groupTexts[static_cast<size_t>(column - chArtist)] =
                QByteArrayView(m_data + m_plain[column], field.size());
        } else if (column == chFile) {
            const qsizetype folder = fileFolder;
            const qsizetype last = m_plain[chFile];
            // The last plain path starts with this folder (a shorter one
            // differs at its 0xFF, which no folder holds).
            if (folder > kFolderRefBytes && folder <= kMaxFolder && last >= 0 &&
                last + folder < m_used && at - last <= kMaxDistance &&
                std::memcmp(m_data + last, field.data(), static_cast<size_t>(folder)) == 0) {
                *p++ = static_cast<char>(kFolderRef);
                p = writeDigits(p, at - last, kDistanceDigits);
                p = writeDigits(p, folder, 2);
            } else {
                p = std::copy(field.begin(), field.begin() + folder, p);
                m_plain[chFile] = at;
            }
            if (nameRef)
                writeDigits(nameRef + 1, p + pieceAt - nameRef, kDistanceDigits);
            p = std::copy(field.begin() + folder, field.end(), p);
        } else {
            p = std::copy(field.begin(), field.end(), p);
            if (isRefColumn(column)) {
                m_plain[column] = at;
                m_groupTexts[static_cast<size_t>(column - chArtist)] =
                    QByteArrayView(m_data + at, field.size());
            }
        }
        // A line that writes its artist, album and genre one by one (a group
        // reference has moved on to the genre) is the group that the next
        // lines may refer to.
        if (column == chArtist)
            m_group = at;
        *p++ = kFieldEnd;
        // The column's plain text is whole now: later rows may refer to it.
        m_used = p - m_data;
    }
    SongRow row;
    row.m_bytes = m_shared;
    row.m_begin = static_cast<quint16>(start - m_data);
    row.m_lineSize = static_cast<quint16>(std::min<qsizetype>(plainSize, SongRow::kUnknownSize));
    row.m_lineBreaks = lineBreaks;
    return row;
}

void SongRowPacker::finishBuffer()
{
    if (!m_shared)
        return;
    // The rows hold offsets: the buffer may move as it shrinks to its use.
    m_shared->data.truncate(m_used);
    m_shared->data.squeeze();
    m_shared.reset();
    m_data = nullptr;
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
