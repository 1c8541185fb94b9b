#pragma once

#include <QString>

// One line a fader drives: a volume in percent and a mute switch. Reads
// answer the line's last known state and never wait for the system behind it.
class MixerLine
{
public:
    virtual ~MixerLine() = default;

    // Empty while the line can be reached; else why not, in words for the user.
    virtual QString unavailableReason() const = 0;
    // 0..100.
    virtual int volume() const = 0;
    virtual void setVolume(int percent) = 0;
    virtual bool muted() const = 0;
    virtual void setMuted(bool muted) = 0;
};

// A line this system does not have.
class UnavailableLine final : public MixerLine
{
public:
    explicit UnavailableLine(QString reason)
        : m_reason(std::move(reason))
    {}
    QString unavailableReason() const override { return m_reason; }
    int volume() const override { return 0; }
    void setVolume(int) override {}
    bool muted() const override { return false; }
    void setMuted(bool) override {}

private:
    QString m_reason;
};
