#pragma once

#include "mixer/mixerline.h"

// A line whose state the test sets and reads; it counts the writes.
class FakeMixerLine final : public MixerLine
{
public:
    struct State
    {
        QString reason;
        int volume = 50;
        bool muted = false;
        int writes = 0;
    };

    explicit FakeMixerLine(State &state)
        : m_state(state)
    {}

    QString unavailableReason() const override { return m_state.reason; }
    int volume() const override { return m_state.volume; }
    void setVolume(int percent) override
    {
        m_state.volume = percent;
        ++m_state.writes;
    }
    bool muted() const override { return m_state.muted; }
    void setMuted(bool muted) override
    {
        m_state.muted = muted;
        ++m_state.writes;
    }

private:
    State &m_state;
};
