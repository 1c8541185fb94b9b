#include "batchprogress.h"

BatchProgress::BatchProgress(qint64 startMs, int total)
    : m_start(startMs)
    , m_lastYield(startMs)
    , m_lastKeep(startMs)
    , m_total(total)
{}

bool BatchProgress::shouldShow(qint64 nowMs, int done)
{
    if (m_shown)
        return true;
    if (done >= m_total)
        return false;
    const qint64 elapsed = nowMs - m_start;
    if (elapsed >= kShowAfterMs)
        m_shown = true;
    else if (elapsed >= kEstimateAfterMs && done > 0)
        m_shown = elapsed * m_total / done >= kShowAfterMs;
    return m_shown;
}

bool BatchProgress::shouldKeep(qint64 nowMs)
{
    if (nowMs - m_lastKeep < kKeepEveryMs)
        return false;
    m_lastKeep = nowMs;
    return true;
}

bool BatchProgress::shouldYield(qint64 nowMs)
{
    if (nowMs - m_lastYield < kYieldEveryMs)
        return false;
    m_lastYield = nowMs;
    return true;
}
