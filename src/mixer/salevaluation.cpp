#include "salevaluation.h"

qint64 roundHalfEven(qint64 num, qint64 den)
{
    qint64 quotient = num / den;
    const qint64 twiceRest = (num % den) * 2;
    if (twiceRest > den || (twiceRest == den && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

int evaluateSal(SalState &state, bool playPressed, qint64 lastPeak, int setPoint)
{
    if (!playPressed)
        return 0;
    // An index out of 1..5 can only come from a broken state; start a round.
    if (state.SALSampleIndex < 1 || state.SALSampleIndex > 5)
        state.SALSampleIndex = 1;
    state.SALSamples[static_cast<size_t>(state.SALSampleIndex)] =
        lastPeak < 0 ? -lastPeak : lastPeak;
    ++state.SALSampleIndex;
    if (state.SALSampleIndex < 6)
        return 0;

    state.SALSampleIndex = 1;
    const qint64 sum =
        state.SALSamples[1] + state.SALSamples[2] + state.SALSamples[3] + state.SALSamples[4];
    const qint64 average = roundHalfEven(sum, 4);
    const qint64 level = roundHalfEven(average * 100, 32768);
    const qint64 target = 90 - setPoint;
    const qint64 d = level - target;
    if (d >= 11)
        return -2;
    if (d >= 1)
        return -1;
    if (d >= -10)
        return 0;
    if (++state.SALQuietCount >= 5) {
        state.SALQuietCount = 0;
        return 1;
    }
    return 0;
}
