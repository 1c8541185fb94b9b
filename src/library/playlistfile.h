#pragma once

#include "songrow.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The play list file (.sdf stored file, .tmp working copy): one line per song,
// each of the six fields in column creation order followed by the byte 0xFF,
// lines ending in CR LF; an empty list is an empty file. A shortcut play list
// is the two lines "#SHORTCUT#" and the folder path.
//
// Text is written as UTF-8 (which never contains the byte 0xFF); a field that
// is not valid UTF-8 is read as Windows-1252, so lists written on Windows load.
namespace PlayListFile {

inline constexpr char kShortcutMarker[] = "#SHORTCUT#";
inline constexpr char kFieldEnd = '\xFF';

struct Content
{
    std::vector<SongRow> songs;
    // Set for a shortcut play list: the folder whose media files it lists.
    std::optional<QString> shortcutFolder;
    // True when serialize(songs) gives the parsed bytes back unchanged.
    bool canonical = false;
    // playSecondsOfLength() of every song's Len field, added up.
    qint64 playSeconds = 0;
};

// Never fails: empty lines are skipped, a line with fewer than six fields
// leaves the missing ones empty, text after the sixth field is ignored.
Content parse(const QByteArray &bytes);

QByteArray serialize(const std::vector<SongRow> &songs);
QByteArray serializeShortcut(const QString &folder);

// The folder of a shortcut play list file (its whole second line), or nothing
// when the file is not a shortcut or cannot be read.
std::optional<QString> readShortcutFolder(const QString &path);

// The file's bytes, or nothing when it cannot be read.
std::optional<QByteArray> read(const QString &path);

// Replaces the file in one step: on any failure the old file stays whole.
bool writeAtomically(const QString &path, const QByteArray &bytes);

} // namespace PlayListFile
