#pragma once

#include "loudnessmeasurement.h"

#include <QString>

#include <optional>

// The ReplayGain track tags of a media file (REPLAYGAIN_TRACK_GAIN and
// REPLAYGAIN_TRACK_PEAK in ID3v2 TXXX frames, Vorbis comments or APE tags),
// read with TagLib and turned into a measurement: the gain is relative to the
// ReplayGain reference of -18 LUFS, the peak a linear sample peak (taken as
// full scale when absent). Nothing when the file is not a regular file, has
// no usable gain tag, or a tag is not a number in a sane range.
namespace GainTags {

inline constexpr double kReferenceLufs = -18.0;

std::optional<LoudnessMeasurement> read(const QString &path);

// The number of a gain text such as "-6.20 dB" or a peak text "0.988".
std::optional<double> parseNumber(QString text);

} // namespace GainTags
