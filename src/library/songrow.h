#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QExplicitlySharedDataPointer>
#include <QSharedData>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <span>
#include <utility>

// The song list's columns in creation order, which is also the field order of
// a play list file.
enum SongColumn : int
{
    chTitle = 0,
    chArtist,
    chAlbum,
    chGenre,
    chLen,
    chFile,
};
inline constexpr int kSongColumnCount = 6;

// Bytes that the rows made from them share: a buffer of packed lines, or the
// line of one row.
struct SongBytes : QSharedData
{
    explicit SongBytes(QByteArray bytes)
        : data(std::move(bytes))
    {}
    QByteArray data;
};
using SharedSongBytes = QExplicitlySharedDataPointer<SongBytes>;

class SongRowPacker;

// One media file of the song list. Rows are told apart by position only.
//
// A row keeps its six fields as one line of UTF-8, each field followed by the
// byte 0xFF, as a play list file stores them. Rows read from a file or made
// in a batch share packed buffers in which a text that repeats an earlier
// row's (an artist, an album, a genre, the folder of a file) is kept once, so
// that a big list costs less memory than its file; a row whose text changes
// gets a line of its own. Text is decoded when asked for. Text that UTF-8
// cannot hold (an unpaired surrogate) is kept as the file would store it.
class SongRow
{
public:
    // Six empty fields.
    SongRow();
    explicit SongRow(const std::array<QString, kSongColumnCount> &fields);
    explicit SongRow(const std::array<QStringView, kSongColumnCount> &fields);

    // Moves the lines of `rows` into a few packed buffers that the rows then
    // share, as rows read from a file do: a batch of rows made one by one (an
    // import, a folder listing) then costs what a loaded list costs. Texts,
    // marks and icons stay as they were.
    static void packLines(std::span<SongRow> rows);

    QString title() const { return field(chTitle); }
    QString field(SongColumn column) const;
    // The field's UTF-8. Mostly the row's own bytes, borrowed (valid while the
    // row's list keeps the row); a file path whose folder is shared is put
    // together. Keep the array, never a view of it.
    QByteArray fieldUtf8(SongColumn column) const;
    std::array<QString, kSongColumnCount> fields() const;
    // The end of the file path that holds at least its file name (and so its
    // extension), without putting the path together.
    QByteArrayView fileNameUtf8() const { return fieldParts(chFile).second; }
    void setField(SongColumn column, QStringView text);

    // The stored line without its CR LF: its size, and the line written at
    // `out` (returns the end). Fields given with a line break hold it here
    // (the song list shows it); a file stores it as a space.
    qsizetype lineSize() const;
    char *writeLine(char *out) const;
    QByteArray line() const;
    // What the row's line takes in its buffer: less than lineSize() when it
    // refers to texts it repeats.
    qsizetype keptSize() const { return encodedLine().size(); }
    bool hasLineBreaks() const { return m_lineBreaks; }

    // The played mark: "*" once played in the current cycle, else empty. A
    // row carries no other tag; any other text set marks it played.
    QString tag() const { return m_played ? QStringLiteral("*") : QString(); }
    void setTag(QStringView tag) { m_played = !tag.isEmpty(); }

private:
    friend class SongRowPacker;
    // The field's bytes as kept: the shared folder of a path (else empty) and
    // the rest.
    std::pair<QByteArrayView, QByteArrayView> fieldParts(SongColumn column) const;
    // The line as kept, and the line and whatever follows it in its buffer:
    // a walk of the six fields needs no other bound.
    QByteArrayView encodedLine() const;
    QByteArrayView lineOnward() const;
    void setOwnLine(QByteArray line);

    // Null for the six empty fields: an empty row allocates nothing.
    SharedSongBytes m_bytes;
    // Where the line starts in its buffer, which ends it with its sixth 0xFF:
    // packed buffers are 64 KiB, and a buffer made for a bigger row holds
    // that row only.
    quint16 m_begin = 0;
    // lineSize(), or kUnknownSize when it does not fit (then it is counted
    // when asked).
    quint16 m_lineSize = kSongColumnCount;
    static constexpr quint16 kUnknownSize = 0xFFFF;

public:
    // Indexes into the large and small file-type image lists, which never
    // hold more images than these can count. (Each shares its word with a
    // flag.)
    quint16 icon : 15 = 0;

private:
    quint16 m_played : 1 = 0;

public:
    quint16 smallIcon : 15 = 0;

private:
    quint16 m_lineBreaks : 1 = 0;
};

// Packs rows one after the other into buffers of 64 KiB that they share.
// Within a buffer, an artist, album or genre equal to the last one written
// plainly in its column is written as a reference to it, a file in the
// folder of the last file written plainly refers to that folder, a line
// whose artist, album and genre are those of the last line that wrote the
// three one by one refers to them at once, and a title that starts with a
// piece of its own file name refers to that piece. Rows of the same album
// one after the other, as lists mostly hold them, thus keep those texts
// once. A reference reaches plain text through at most one other (a group's
// field may refer on) and never leaves its buffer.
class SongRowPacker
{
public:
    SongRowPacker() = default;
    SongRowPacker(const SongRowPacker &) = delete;
    SongRowPacker &operator=(const SongRowPacker &) = delete;
    ~SongRowPacker() { finishBuffer(); }

    // A row of six fields of valid UTF-8 (no 0xFF byte in any).
    SongRow add(const std::array<QByteArrayView, kSongColumnCount> &fields,
                bool lineBreaks = false);

private:
    void finishBuffer();

    SharedSongBytes m_shared;
    char *m_data = nullptr;
    qsizetype m_used = 0;
    qsizetype m_capacity = 0;
    // Where the last plain text of each column starts, -1 for none.
    std::array<qsizetype, kSongColumnCount> m_plain{-1, -1, -1, -1, -1, -1};
    // Where the artist of the last line that wrote its artist, album and
    // genre one by one starts (-1 for none), and those three texts.
    qsizetype m_group = -1;
    std::array<QByteArrayView, 3> m_groupTexts;
};

// The longest play time told, 99999:59:59: what one row's length and the
// total of a list count as at most.
inline constexpr qint64 kMaxPlayTime = 99999LL * 3600 + 59 * 60 + 59;
// What a row whose Len field holds this UTF-8 text adds to its list's play
// time, in seconds: 0 for a text that does not read as a time.
qint64 playSecondsOfLength(QByteArrayView lenUtf8);

// "chTitle" ... "chFile"
QString songColumnKey(SongColumn column);
std::optional<SongColumn> songColumnFromKey(QStringView key);
// "Title" ... "File"
QString songColumnCaption(SongColumn column);
