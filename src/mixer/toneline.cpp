#include "toneline.h"

#include <algorithm>

ToneLine::ToneLine(PlayerLink &link, PlayerLink::ToneBand band)
    : m_link(link)
    , m_band(band)
{}

double ToneLine::gainDb(int percent)
{
    return (std::clamp(percent, 0, 100) - 50) * kRangeDb / 50.0;
}

void ToneLine::setVolume(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == m_percent)
        return;
    m_percent = percent;
    apply();
}

void ToneLine::setMuted(bool muted)
{
    if (muted == m_muted)
        return;
    m_muted = muted;
    apply();
}

void ToneLine::apply()
{
    m_link.setToneGain(m_band, m_muted ? 0.0 : gainDb(m_percent));
}
