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

// Bytes that the rows made from them share: a file read whole, a batch of
// rows packed together, or the line of one row.
struct SongBytes : QSharedData
{
    explicit SongBytes(QByteArray bytes)
        : data(std::move(bytes))
    {}
    QByteArray data;
};
using SharedSongBytes = QExplicitlySharedDataPointer<SongBytes>;

// One media file of the song list. Rows are told apart by position only.
//
// A row keeps its six fields as one line of UTF-8, each field followed by the
// byte 0xFF: the very line a play list file stores, so that a big list costs
// little more memory than its file. Rows read from one file share that file's
// bytes; a row whose text changes gets bytes of its own. Text is decoded when
// asked for. Text that UTF-8 cannot hold (an unpaired surrogate) is kept as
// the file would store it.
class SongRow
{
public:
    // Six empty fields.
    SongRow();
    explicit SongRow(const std::array<QString, kSongColumnCount> &fields);
    explicit SongRow(const std::array<QStringView, kSongColumnCount> &fields);

    // A row over `size` bytes of `bytes` from `begin`: six fields of valid
    // UTF-8 without line breaks, each followed by 0xFF, nothing after. The row
    // shares `bytes` instead of copying them.
    static SongRow fromStoredLine(const SharedSongBytes &bytes, qsizetype begin, qsizetype size);

    // Moves the lines of `rows` into a few large buffers that the rows then
    // share, as rows read from a file share its bytes: a batch of rows made
    // one by one (an import, a folder listing) then costs what a loaded list
    // costs. Texts, marks and icons stay as they were.
    static void packLines(std::span<SongRow> rows);

    QString title() const { return field(chTitle); }
    QString field(SongColumn column) const;
    QByteArrayView fieldUtf8(SongColumn column) const;
    std::array<QString, kSongColumnCount> fields() const;
    void setField(SongColumn column, QStringView text);

    // The stored line without its CR LF. Fields given with a line break hold
    // it here (the song list shows it); a file stores it as a space.
    QByteArrayView line() const;
    bool hasLineBreaks() const { return m_lineBreaks; }

    // The played mark: "*" once played in the current cycle, else empty. A
    // row carries no other tag; any other text set marks it played.
    QString tag() const { return m_played ? QStringLiteral("*") : QString(); }
    void setTag(QStringView tag) { m_played = !tag.isEmpty(); }

private:
    void setOwnLine(QByteArray line);

    // Null for the six empty fields: an empty row allocates nothing.
    SharedSongBytes m_bytes;
    quint32 m_begin = 0;
    quint32 m_size = 0;
    bool m_lineBreaks = false;
    bool m_played = false;

public:
    // Indexes into the large and small file-type image lists, which never
    // hold more images than these can count. (Declared last, so that they
    // share a word with the flags above.)
    quint16 icon = 0;
    quint16 smallIcon = 0;
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
