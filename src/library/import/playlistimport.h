#pragma once

#include "playlistparser.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// Turning a PLS or M3U file of another player into a play list: its name, the
// parser for its format and the full paths of its songs. Nothing here touches
// the song list or the store; the caller adds each path as a song.
namespace PlayListImport {

// Which platform's path rules resolve an entry.
enum class PathStyle
{
    Posix,
    Windows,
};

// The rules of the platform the program runs on.
PathStyle hostPathStyle();

// The full path of a song entry of a list file in `listFolder`:
// - A path that is absolute on the platform is used unchanged (Posix: "/...";
//   Windows: "C:\...", "\\server\share\...", "\Music\..."). Windows absolute
//   paths met on Posix ("D:\b.wav", UNC, "\Music\...") are kept unchanged too:
//   they are absolute where the list was written and no folder can fix them.
// - A "file:" URL becomes its local path, which is then resolved like any
//   other entry; any other URL ("http://...") is a stream and stays as written.
// - Every other entry is relative and is joined to `listFolder`. On Posix its
//   backslashes become "/" (Sub\a.mp3 is Sub/a.mp3) and "." and ".." are
//   resolved; on Windows the path uses backslashes throughout.
QString resolveEntry(const QString &entry, const QString &listFolder,
                     PathStyle style = hostPathStyle());

// The name of the play list made from a list file: its file name (after the
// last "/" or "\") without the extension that follows its last dot. A name
// without a dot, or whose only dot is its first character, stays whole.
QString playListName(const QString &listFile);

// PLS when the path ends in "pls" in any letter case, M3U for every other
// file. ".m3u8" files are UTF-8; the others are UTF-8 when valid, else
// Windows-1252.
std::unique_ptr<PlayListParser> parserFor(const QString &listFile);

// Files larger than this are not play lists and are refused unread.
inline constexpr qint64 kMaxListFileSize = 128LL * 1024 * 1024;

struct ImportedList
{
    QString name;      // playListName() of the file
    QStringList songs; // resolved full paths, in file order
};

// Reads and parses one list file. Nothing when the file cannot be opened or
// read, or is larger than kMaxListFileSize. The songs are not checked for
// existence.
std::optional<ImportedList> read(const QString &listFile);

} // namespace PlayListImport
