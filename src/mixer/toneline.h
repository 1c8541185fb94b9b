#pragma once

#include "mixerline.h"
#include "playback/playerlink.h"

// Bass or treble of the player's own tone filters: the fader's middle (50) is
// flat, its ends are -kRangeDb and +kRangeDb. Muting the line sets it flat
// and unmuting brings its setting back.
class ToneLine final : public MixerLine
{
public:
    static constexpr double kRangeDb = 12.0;

    ToneLine(PlayerLink &link, PlayerLink::ToneBand band);

    QString unavailableReason() const override { return {}; }
    int volume() const override { return m_percent; }
    void setVolume(int percent) override;
    bool muted() const override { return m_muted; }
    void setMuted(bool muted) override;

    // The gain in dB that a fader position stands for.
    static double gainDb(int percent);

private:
    void apply();

    PlayerLink &m_link;
    PlayerLink::ToneBand m_band;
    int m_percent = 50;
    bool m_muted = false;
};
