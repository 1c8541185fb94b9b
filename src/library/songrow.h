#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

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

// One media file of the song list. Rows are told apart by position only.
struct SongRow
{
    std::array<QString, kSongColumnCount> fields;
    int icon = 0;      // index into the large file-type image list
    int smallIcon = 0; // index into the small file-type image list
    QString tag;       // "*" once played in the current cycle

    const QString &title() const { return fields[chTitle]; }
    const QString &field(SongColumn column) const { return fields[column]; }
};

// "chTitle" ... "chFile"
QString songColumnKey(SongColumn column);
std::optional<SongColumn> songColumnFromKey(QStringView key);
// "Title" ... "File"
QString songColumnCaption(SongColumn column);
