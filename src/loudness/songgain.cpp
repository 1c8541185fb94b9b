#include "songgain.h"

#include <algorithm>
#include <cmath>

namespace SongGain {

double gainDb(const std::optional<LoudnessMeasurement> &measurement, double targetLufs)
{
    if (!measurement || !std::isfinite(measurement->loudnessLufs)
        || !std::isfinite(measurement->truePeakDbtp))
        return 0.0;
    const double toTarget = targetLufs - measurement->loudnessLufs;
    const double toCeiling = kPeakCeilingDbtp - measurement->truePeakDbtp;
    return std::clamp(std::min(toTarget, toCeiling), -kMaxGainDb, kMaxGainDb);
}

} // namespace SongGain
