#pragma once

#include "loudnessmeasurement.h"

#include <optional>

// The gain that brings a song to the target loudness: the target minus the
// song's loudness, lowered where needed so that its true peak stays at or
// below kPeakCeilingDbtp, and never beyond kMaxGainDb either way (a nearly
// silent recording is not raised into its noise). A song not measured plays
// at unity gain (0 dB).
namespace SongGain {

inline constexpr double kPeakCeilingDbtp = -1.0;
inline constexpr double kMaxGainDb = 24.0;

double gainDb(const std::optional<LoudnessMeasurement> &measurement, double targetLufs);

} // namespace SongGain
