#pragma once

#include <QtGlobal>

#include <array>

// The S.A.L. level control's memory between ticks of tmrSALMonitor.
struct SalState
{
    // Slots 1 to 5 (slot 0 unused); only 1 to 4 enter the average.
    std::array<qint64, 6> SALSamples{};
    int SALSampleIndex = 1;
    int SALQuietCount = 0;
};

// One tick of the level control (every 100 ms): samples |lastPeak| while Play
// is pressed and every fifth tick compares the loudness with the target
// 90 - setPoint percent of full scale. Answers the output level steps to take:
// -2 or -1 (down), 0, or +1 (up, after five evaluations in a row more than 10
// points too quiet). With Play not pressed nothing is sampled.
int evaluateSal(SalState &state, bool playPressed, qint64 lastPeak, int setPoint);

// num / den rounded to the nearest integer, halves to even (den > 0, num >= 0).
qint64 roundHalfEven(qint64 num, qint64 den);
