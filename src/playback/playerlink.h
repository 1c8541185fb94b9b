#pragma once

#include <QString>

#include <memory>

// The one place that knows how to reach the outside media player. Every
// command first checks the link afresh: with no player, commands do nothing
// and queries answer 0. No call blocks for more than a bounded time.
class PlayerLink
{
public:
    // Answers of WinampIsPlaying.
    static constexpr int kStopped = 0;
    static constexpr int kPlaying = 1;
    static constexpr int kPaused = 3;

    virtual ~PlayerLink() = default;

    // The player's name as the user knows it, for texts that name it.
    virtual QString playerName() const = 0;

    // True when the link may talk to the player now.
    virtual bool FindWinamp() = 0;
    // Finds the running player or starts it from `path` without a window;
    // true when it was running or was started.
    virtual bool StartWinamp(const QString &path) = 0;
    // The same start in two steps, so that other work can run while the
    // player comes up: beginStart launches it without waiting, finishStart
    // waits for it and gives what StartWinamp would have given. A link that
    // cannot start in the background does the whole start in finishStart.
    virtual void beginStart(const QString & /*path*/) {}
    virtual bool finishStart(const QString &path) { return StartWinamp(path); }
    // Closes the player at shutdown.
    virtual void CloseWinamp() = 0;

    // Empties the player's own play list.
    virtual void WinampClearList() = 0;
    // Adds one file to the player's play list.
    virtual void WinampAddFile(const QString &file) = 0;
    // Plays the player's play list from its start.
    virtual void WinampStartPlay() = 0;
    // kPlaying, kPaused or kStopped.
    virtual int WinampIsPlaying() = 0;
    // Position in the current file in milliseconds, also while paused; 0 or
    // less when stopped or without a file.
    virtual int WinampGetPosition() = 0;
    // Length of the current file in whole seconds; 0 while unknown.
    virtual int WinampGetLength() = 0;

    // Resumes a paused file (or plays the current one).
    virtual void WinampPlayButton() = 0;
    // Pause toggle.
    virtual void WinampPauseButton() = 0;
    virtual void WinampStopButton() = 0;
    // Fades the current file out and stops; returns only when the fade has
    // ended and the player has stopped.
    virtual void WinampFadeOutStop() = 0;

    // Player volume one step up or down.
    virtual void WinampVolumeUp() = 0;
    virtual void WinampVolumeDown() = 0;
    // The player's volume in percent, 0 to 100; -1 when the player cannot
    // tell (no player, or one without such a query).
    virtual int volumePercent() { return -1; }
    // Sets the player's volume in percent, bounded to 0 to 100; a player
    // without it ignores it.
    virtual void setVolumePercent(int percent) { Q_UNUSED(percent); }
    // Output level one step up or down.
    virtual void WinampLevelUp() = 0;
    virtual void WinampLevelDown() = 0;

    // The player's own tone filters, each a gain in dB (0 = flat), applied
    // at once and kept for every later file. A player without them ignores it.
    enum class ToneBand
    {
        Bass,
        Treble
    };
    virtual void setToneGain(ToneBand band, double gainDb)
    {
        Q_UNUSED(band);
        Q_UNUSED(gainDb);
    }

    // The gain in dB (0 = unity) of the files started from now on, in place
    // before each starts so that it never changes audibly while one plays.
    // True when the player can apply it; a player without it ignores it.
    virtual bool hasSongGain() const { return false; }
    virtual void setSongGain(double gainDb) { Q_UNUSED(gainDb); }
};
