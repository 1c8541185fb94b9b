#pragma once

#include <QtGlobal>

// Decides when a batch of adds has run long enough to show its progress: at
// once when a second has passed, earlier when the files done so far let the
// whole batch be estimated at a second or more. Times in milliseconds from
// any clock.
class BatchProgress
{
public:
    BatchProgress(qint64 startMs, int total);

    // After `done` files at time `nowMs`: true from the moment progress should
    // be shown on, also for every later call.
    bool shouldShow(qint64 nowMs, int done);
    // True when the window should handle its pending events, at most every
    // 25 ms: with the file read after it, the window never waits 50 ms during
    // a long batch.
    bool shouldYield(qint64 nowMs);
    // True when the songs added so far should be written where a crash
    // cannot lose them, at most every second.
    bool shouldKeep(qint64 nowMs);

    static constexpr qint64 kShowAfterMs = 1000;
    static constexpr qint64 kEstimateAfterMs = 200;
    static constexpr qint64 kYieldEveryMs = 25;
    static constexpr qint64 kKeepEveryMs = 1000;

private:
    qint64 m_start;
    qint64 m_lastYield;
    qint64 m_lastKeep;
    int m_total;
    bool m_shown = false;
};
