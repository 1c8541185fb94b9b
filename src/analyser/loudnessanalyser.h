#pragma once

#include "loudness/loudnessmeasurement.h"

#include <QString>

#include <atomic>
#include <functional>

// Measures a media file's integrated loudness and true peak (EBU R128) on the
// audio decoded by FFmpeg's libraries, block by block, so that memory stays
// bounded whatever the file's length. Only regular files are opened; the file
// is read through its own open handle, so one renamed or removed meanwhile is
// not swapped for another, and nothing the file names (play lists, other
// files, protocols) is ever followed. More than two channels are mixed down
// to stereo before measuring.
//
// Safe to call from any thread; calls share nothing.
namespace LoudnessAnalyser {

// Told the bytes read so far after each block read from the file.
using ReadObserver = std::function<void(qint64 bytesRead)>;

// `stop`, when given and set, ends the measurement soon with Outcome::Stopped.
// A file whose size or modification time differs at the end from the start,
// or that is gone by then, is not measured.
LoudnessResult measure(const QString &path, const std::atomic<bool> *stop = nullptr,
                       const ReadObserver &onRead = {});

} // namespace LoudnessAnalyser
