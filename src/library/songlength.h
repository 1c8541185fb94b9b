#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <atomic>
#include <functional>

// Play length estimated from a media file's size alone, in whole seconds, for
// the Len column of a new song row. Only mp3 and wav files get an estimate;
// the type is the last three characters of the path in any case ("mp3",
// "wav"), every other file gets 0.
//
// mp3: s = N(size / 17640), m = N(s / 60), result N(34 * m / 6 + s), that is
// s plus 34/6 seconds per estimated minute. wav: N(size / 176400).
// N rounds to the nearest whole number, halves to the even neighbour.
//
// An mp3 or wav file whose size cannot be read (missing, in a folder that
// cannot be searched, not a regular file) gives 0, so its row is still added.
qint32 EstimateSongLength(const QString &file);

// The same estimate for a file of the given size, without touching the disk.
// The intermediate values are wide enough for any real file (an mp3 beyond
// about 578 MB does not overflow), and every size whose intermediates fit in
// 16 bits gets the same result as before; a result beyond the 32-bit range
// saturates. A negative size counts as 0.
qint32 estimateSongLengthFromSize(const QString &file, qint64 sizeInBytes);

// EstimateSongLength for each of many files at once, in their order: what an
// import of a long list uses. Files of one folder that follow each other have
// their folder looked up once, and a long list is shared between two threads.
// Each file's estimate is handed to `take(index, length)` on the thread that
// looked the file up, so that work on each file can go on beside the lookups.
// `take` is called once for every index, from up to two threads at once; it
// must be safe to call so for different indexes. Once `*stop` is true (it is
// read between files) the remaining files are neither looked up nor taken.
void EstimateSongLengths(const QStringList &files,
                         const std::function<void(qsizetype index, qint32 length)> &take,
                         const std::atomic<bool> *stop = nullptr);
