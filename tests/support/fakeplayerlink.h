#pragma once

#include "playback/playerlink.h"

#include <QStringList>

#include <algorithm>
#include <functional>

// A player that records every command and answers queries from its fields.
// `present` false behaves like a player that is gone: commands do nothing and
// queries answer 0. StartWinamp brings it back when `startSucceeds`.
class FakePlayerLink : public PlayerLink
{
public:
    bool present = true;
    bool startSucceeds = true;
    int state = kStopped;
    int positionMs = 0;
    int lengthSeconds = 0;
    int volume = 100;
    QStringList log;
    QStringList played; // files handed over, in order
    QString lastStartPath;
    int starts = 0;
    // The song gain in dB each file handed over was given, in order.
    QList<double> songGains;
    // The output level in steps of the player's level control, held within
    // its range as a real player holds it; a missing player keeps it.
    static constexpr int kLowestLevel = -16;
    static constexpr int kHighestLevel = 8;
    int level = 0;
    QString name = QStringLiteral("mpv");
    // Called as the player goes away, to look at what it was told last.
    std::function<void(const FakePlayerLink &)> onDestroyed;

    FakePlayerLink() = default;
    FakePlayerLink(const FakePlayerLink &) = delete;
    FakePlayerLink &operator=(const FakePlayerLink &) = delete;
    ~FakePlayerLink() override
    {
        if (onDestroyed)
            onDestroyed(*this);
    }

    QString playerName() const override { return name; }
    bool FindWinamp() override { return present; }
    bool StartWinamp(const QString &path) override
    {
        ++starts;
        lastStartPath = path;
        log << QStringLiteral("start");
        if (startSucceeds)
            present = true;
        return present;
    }
    void CloseWinamp() override { record(QStringLiteral("close")); }
    void WinampClearList() override { record(QStringLiteral("clear")); }
    void WinampAddFile(const QString &file) override
    {
        if (!present)
            return;
        log << QStringLiteral("add ") + file;
        m_pending = file;
        songGains << m_songGain;
    }
    void WinampStartPlay() override
    {
        if (!present)
            return;
        log << QStringLiteral("startplay");
        played << m_pending;
        state = kPlaying;
        positionMs = 1;
    }
    int WinampIsPlaying() override { return present ? state : 0; }
    int WinampGetPosition() override { return present ? positionMs : 0; }
    int WinampGetLength() override { return present ? lengthSeconds : 0; }
    void WinampPlayButton() override
    {
        record(QStringLiteral("play"));
        if (present)
            state = kPlaying;
    }
    void WinampPauseButton() override
    {
        record(QStringLiteral("pause"));
        if (present)
            state = state == kPaused ? kPlaying : kPaused;
    }
    void WinampStopButton() override
    {
        record(QStringLiteral("stop"));
        if (present) {
            state = kStopped;
            positionMs = 0;
        }
    }
    void WinampFadeOutStop() override
    {
        record(QStringLiteral("fadeout"));
        if (present) {
            state = kStopped;
            positionMs = 0;
        }
    }
    void WinampVolumeUp() override { record(QStringLiteral("volume+")); }
    void WinampVolumeDown() override { record(QStringLiteral("volume-")); }
    int volumePercent() override { return present ? volume : -1; }
    void setVolumePercent(int percent) override
    {
        record(QStringLiteral("volume=%1").arg(percent));
        if (present)
            volume = percent;
    }
    void WinampLevelUp() override
    {
        record(QStringLiteral("level+"));
        if (present)
            level = std::min(level + 1, kHighestLevel);
    }
    void WinampLevelDown() override
    {
        record(QStringLiteral("level-"));
        if (present)
            level = std::max(level - 1, kLowestLevel);
    }
    void setToneGain(ToneBand band, double gainDb) override
    {
        record(QStringLiteral("%1 %2")
                   .arg(band == ToneBand::Bass ? QStringLiteral("bass") : QStringLiteral("treble"))
                   .arg(gainDb, 0, 'f', 1));
    }

    bool hasSongGain() const override { return true; }
    void setSongGain(double gainDb) override { m_songGain = gainDb; }

private:
    void record(const QString &command)
    {
        if (present)
            log << command;
    }

    QString m_pending;
    double m_songGain = 0.0;
};
