#pragma once

#include "mpvipc.h"
#include "playerlink.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QString>

#include <memory>

class QProcess;

// Where the mpv of the VORN on this program folder listens for commands (see
// mpvsocketpath.h).
QString defaultMpvSocketPath();

// Drives mpv, started without a window, over its JSON IPC socket.
//
// Each operation talks to the player afresh and connects anew when the
// connection dropped; with no player, commands do nothing and queries answer 0.
// No request waits for the player longer than about 2 s, and once the player
// has failed to answer, later requests wait only briefly until it answers
// again.
//
// The player is a process of its own that VORN does not trust: the link knows
// the process it started by its id and ends it when it gives up on it (a start
// that never answers, a player that fell silent and is replaced) and when the
// link is destroyed; on Linux that process also ends when VORN ends in any
// other way. A new player gets a socket path that no other process listens on.
// mpv is started without the user's configuration, scripts and web download
// hook, and is handed only absolute paths of local regular files; any other
// entry (a URL, a protocol, a relative name, a folder, a device, a FIFO, a
// socket) is skipped like a missing file.
//
// The player's own play list never holds more than the file that plays:
// - `WinampAddFile` hands over the file to play next (a later one replaces
//   it); nothing reaches the player yet.
// - `WinampStartPlay` replaces whatever plays with that file, unpaused, and
//   waits (at most 2 s) until it plays or fails, so that its length is known
//   when the call returns.
// - `WinampClearList` forgets the handed-over file and empties mpv's play
//   list except the file that plays, which keeps playing.
// - `WinampPlayButton` unpauses; when the player is idle it plays the
//   handed-over file again.
// - `WinampPauseButton` toggles pause while a file is loaded;
//   `WinampStopButton` stops and leaves the player idle.
//
// While a started file is still loading, the position reads 1 ms (and the
// state playing), so a slow start is not taken for the end of the song; a file
// that fails to load reads as ended. Volume steps are 2 on mpv's 0-100 scale.
// The output level is a labelled audio filter, stepped by 1.5 dB within
// -24 dB to +12 dB; it is changed on the playing file at once and applied to
// every file started later.
class MpvLink : public PlayerLink
{
public:
    static constexpr int kVolumeStep = 2;
    static constexpr double kLevelStepDb = 1.5;
    static constexpr double kMinLevelDb = -24.0;
    static constexpr double kMaxLevelDb = 12.0;
    static constexpr int kFadeOutMs = 2000;
    // How long StartWinamp waits for a started player to answer.
    static constexpr int kStartTimeoutMs = 5000;

    // A `socketPath` too long for a socket is replaced by a short private one.
    explicit MpvLink(const QString &socketPath = defaultMpvSocketPath());
    ~MpvLink() override;
    MpvLink(const MpvLink &) = delete;
    MpvLink &operator=(const MpvLink &) = delete;

    QString playerName() const override;

    // True when a player answers on the socket.
    bool FindWinamp() override;
    // Starts `path` (empty: "mpv" on the PATH) without a window, with the
    // options of $VORN_MPV_OPTIONS added, and waits until it answers, at most
    // kStartTimeoutMs, keeping the event loop running. A player of ours that
    // no longer answers is ended first; a started player that never answers
    // is ended before this returns false.
    bool StartWinamp(const QString &path) override;
    // beginStart returns once the player process runs (or failed to start);
    // finishStart waits for it to answer as StartWinamp does, the time it had
    // to come up since beginStart counted in.
    void beginStart(const QString &path) override;
    bool finishStart(const QString &path) override;
    // Quits the player and waits (at most 2 s) until it has closed the socket;
    // a player of ours that does not quit is ended.
    void CloseWinamp() override;

    void WinampClearList() override;
    void WinampAddFile(const QString &file) override;
    void WinampStartPlay() override;
    int WinampIsPlaying() override;
    int WinampGetPosition() override;
    int WinampGetLength() override;
    void WinampPlayButton() override;
    void WinampPauseButton() override;
    void WinampStopButton() override;
    // Lowers the volume to 0 over kFadeOutMs while the application keeps
    // handling events (user input waits), stops, restores the volume, and only
    // then returns. A paused or idle player is stopped at once.
    void WinampFadeOutStop() override;
    void WinampVolumeUp() override;
    void WinampVolumeDown() override;
    int volumePercent() override;
    void setVolumePercent(int percent) override;
    void WinampLevelUp() override;
    void WinampLevelDown() override;
    // Labelled lavfi bass and treble filters beside the level filter, put in
    // place once a gain has been set and again with every file started.
    void setToneGain(ToneBand band, double gainDb) override;
    // A labelled lavfi volume filter of its own, so that the level steps
    // work on top of it; put in place (or taken out, at unity gain) while no
    // file plays, just before the next file is loaded.
    bool hasSongGain() const override { return true; }
    void setSongGain(double gainDb) override { m_songGainDb = gainDb; }
    double songGain() const { return m_songGainDb; }

    QString socketPath() const { return m_ipc.socketPath(); }
    // The process id of the player this link started and still runs; 0 when none.
    qint64 startedPlayerPid() const;
    // The most bytes the link ever held from the player for one line.
    qsizetype peakBufferedBytes() const { return m_ipc.peakBufferedBytes(); }
    // The output level in dB that the link sets on the player.
    double outputLevel() const { return m_levelDb; }

private:
    MpvIpc::Reply call(const QJsonArray &command, int timeoutMs = MpvIpc::kRequestTimeoutMs);
    void handleEvent(const QJsonObject &event);
    bool isStarting() const;
    void forgetStart();
    void playListFile();
    void stepVolume(int delta);
    void stepLevel(double deltaDb);
    bool setVolume(double volume);
    bool isStopped(const MpvIpc::Reply &idle, const MpvIpc::Reply &time) const;
    // True when the song has played to its end and mpv holds it there;
    // `pause` is the pause flag the caller read, else it is read here.
    bool hasEnded(const MpvIpc::Reply &pause);
    bool hasEnded();
    void waitUntilPauseHolds();
    void endStartedPlayer();
    // Launches the player; false when it answered already or could not run.
    bool launch(const QString &path);
    bool waitUntilAnswering();
    QString freeSocketPath() const;
    void applyTone(ToneBand band);

    // The path asked for; the link talks on it or on a variant of it.
    QString m_basePath;
    MpvIpc m_ipc;
    std::unique_ptr<QProcess> m_process;
    // Set between beginStart and finishStart: what the launch came to.
    enum class Launch
    {
        None,
        Answering,
        Failed,
        Running,
    };
    Launch m_launch = Launch::None;
    QElapsedTimer m_launchClock;
    QString m_listFile;
    // The last file handed over was not one the player may open.
    bool m_listFileRefused = false;
    qint64 m_playerPid = 0;
    // The play list entry of the file started last while it is still loading;
    // -1 when none is.
    qint64 m_startingEntry = -1;
    bool m_startingEntrySeen = false;
    QDeadlineTimer m_startingDeadline;
    double m_levelDb = 0.0;
    double m_bassDb = 0.0;
    double m_trebleDb = 0.0;
    bool m_toneSet = false;
    double m_songGainDb = 0.0;
    // The user's Pause holds the song, which mpv's own pause at the end of a
    // song would otherwise be taken for.
    bool m_pausedByUser = false;
};
