#pragma once

#include "loudnessmeasurement.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// What identifies a file's content well enough to trust an earlier
// measurement: its size and modification time.
struct FileStamp
{
    qint64 size = 0;
    qint64 mtimeMs = 0;

    bool operator==(const FileStamp &) const = default;
};

// The stamp of a regular file; nothing for anything else or a missing file.
std::optional<FileStamp> fileStampOf(const QString &path);

// One remembered file: its stamp when it was looked at, and its loudness, or
// nothing when it could not be measured (played at unity gain, not tried
// again until it changes).
struct LoudnessCacheEntry
{
    FileStamp stamp;
    std::optional<LoudnessMeasurement> measurement;

    bool operator==(const LoudnessCacheEntry &other) const;
};

using LoudnessEntries = QHash<QString, LoudnessCacheEntry>;

// The loudness cache file in the play list folder. Its first line is
// kHeader; then one line per file, fields separated by one space:
//   PATH SIZE MTIME KIND [LUFS PEAK]
// PATH percent-encoded UTF-8 (so it holds no space or line break), SIZE in
// bytes, MTIME in milliseconds since 1970 UTC, KIND "M" (measured), "T" (from
// gain tags) or "N" (not measured, no figures). Lines end in LF and are
// sorted by path, so equal contents give equal bytes.
namespace LoudnessCacheFile {

inline constexpr char kFileName[] = "VORN.loudness";
inline constexpr char kHeader[] = "VORN loudness 1";

struct Parsed
{
    LoudnessEntries entries;
    // Lines that were not a well-formed entry; they are dropped.
    int damagedLines = 0;
    // The file did not start with kHeader: nothing of it is used.
    bool badHeader = false;

    bool damaged() const { return badHeader || damagedLines > 0; }
};

// Never fails; whatever is not understood is counted and left out.
Parsed parse(const QByteArray &bytes);
QByteArray serialize(const LoudnessEntries &entries);

// Replaces the file in one step: on any failure the old file stays whole.
bool write(const QString &path, const LoudnessEntries &entries);

} // namespace LoudnessCacheFile
