#pragma once

#include "togglejournal.h"

#include <QObject>
#include <QString>

#include <functional>

class PlayDisplay;
class PlayerLink;
class QAction;
class PlayListLibraryModel;
class QItemSelectionModel;
class QTimer;
class SongListModel;
class UserDialogs;
struct PlayerActions;

// Decides what plays: carries out the player toolbar's commands, the song
// list's play commands and the monitor's end of song, keeps CurrentSong (in
// the song list model) and SongLength, marks the playing and played rows and
// locks the play-list controls from the first Play until Stop.
class PlaybackSequencer : public QObject
{
    Q_OBJECT

public:
    // The image of the song lists' image lists that marks the playing row.
    static constexpr int kNowPlayingImage = 1;

    struct Hooks
    {
        std::function<void(bool enabled)> enablePlayListControls;
        std::function<void(int row)> scrollToRow;
        std::function<void(bool shown)> showMixer;
        // Shows the preferences dialog modally.
        std::function<void()> showPreferences;
        std::function<void()> applyBannerSettings;
        // The stored path of the player program.
        std::function<QString()> playerPath;
        // True when the stored player program is driven another way than the
        // link in use.
        std::function<bool()> needsNewPlayerLink;
        // Closes the player in use and makes the link for the stored program.
        std::function<void()> replacePlayerLink;
        // Lets pending events run once; tests leave it empty.
        std::function<void()> processEvents;
        // Draws a number in [0, 1) for the random title selector.
        std::function<double()> random;
        // Tells about trouble met while nobody may be watching (a player that
        // died and is being restarted): a status-bar note and a log entry,
        // never a modal box.
        std::function<void(const QString &text)> reportTrouble;
        // The gain in dB for a song about to start (its even loudness);
        // unity when left empty.
        std::function<double(const QString &file)> songGain;
        // A song has been handed to the player: `row` (0-based) of the song list.
        std::function<void(int row)> songStarting;
    };

    // Seconds to wait before restart attempt `attempt` (0 first) of a player
    // that died while music played: 1, 2, 4, ... at most 30.
    static int restartDelaySeconds(int attempt);

    PlaybackSequencer(PlayerLink &link, SongListModel &songs, QItemSelectionModel &songSelection,
                      PlayListLibraryModel &library, const PlayerActions &actions,
                      PlayDisplay &display, UserDialogs &dialogs, QObject *parent = nullptr);

    void setHooks(Hooks hooks);
    // Asked when a song has ended (or its player died), before the next song
    // is chosen: true when the caller has started other music instead.
    void setSongEndHandler(std::function<bool()> handler) { m_songEnded = std::move(handler); }
    PlayerLink &link() const { return *m_link; }

    // Finds or starts the player from the stored path; sets PlayerLinked.
    bool linkPlayer();
    // linkPlayer in two steps, so that the window can go on while the player
    // comes up: the first starts it, the second waits for it and sets
    // PlayerLinked.
    void beginLinkingPlayer();
    bool finishLinkingPlayer();
    bool PlayerLinked() const { return m_playerLinked; }
    void setPlayerLinked(bool linked) { m_playerLinked = linked; }
    int SongLength() const { return m_songLength; }
    void setSongLength(int seconds) { m_songLength = seconds; }
    QTimer *tmrMonitor() const { return m_tmrMonitor; }
    // Single shot: the next attempt to bring a dead player back.
    QTimer *tmrRestart() const { return m_tmrRestart; }
    const PlayerActions &actions() const { return m_actions; }

    void tbPlayer_ButtonClick(const QString &key);
    void tbPlayer_ButtonMenuClick(const QString &key);
    void lvSongs_DblClick();
    void mnuSongsPlay_Click();
    void mnuSongsFadeAndPlay_Click();

    void StartPlayback();
    void PlaySong();
    void StopPlayback(bool release);
    // Fades the song out (returning when the fade is over), then stops.
    void fadeOutStop(bool release);
    void PausePlayback();
    int SelectRandomTitle();
    void EnablePlayListControls(bool enabled);
    void ShowWinampNotFound();

    // Moves on after the current song ended: the next row in list order or
    // at random, honouring Repeat.
    void playNextAfterEnd();

    // The player died while music played. The music is meant to go on: the
    // player is restarted on tmrRestart, with growing waits while it keeps
    // failing or dying, and playing goes on with the next row (the song that
    // played may be what killed it). Only the user's Stop ends the attempts.
    void playerGone();
    // The tick of tmrRestart: one attempt to start the player again. The
    // song a user's command chose (Play, Next, Prev, a double click) that the
    // player never took, being gone or stalled, is played then, once;
    // otherwise playing goes on with the next row.
    void tmrRestart_Timer();
    // The player has been seen playing: the next death waits the shortest
    // time, and the song asked for has been heard.
    void playerHealthy()
    {
        m_restartAttempt = 0;
        m_askedForUnheard = false;
    }
    // Closes the player on purpose (VORN ends): its going is no death, and
    // nothing brings it back.
    void closePlayer();

    // Moves to a new link when the stored player program needs one of another
    // kind; true when it did. Music that played goes on with the same row,
    // from its start, through the new player (paused music is paused there
    // again); stopped music stays stopped. A new player that cannot be
    // started while music plays is retried as a player that died.
    bool changePlayerIfNeeded();

signals:
    // The user stopped the music or played a row of their own choice.
    void userChoseWhatPlays();

private:
    // Stops a player that plays while VORN plays nothing.
    void stopAPlayerPlayingAlone();
    void buttonTriggered(QAction *button);
    // True when `button` is refused for want of a player.
    bool refused(QAction *button) const;
    void reportTrouble(const QString &text);
    // The player could not be started while music plays: try again later.
    void retryStart();
    // Sets CurrentSong; the row that shows the now-playing image gets its own
    // icon back first.
    void setCurrentSong(int song);
    void markPlayingRow(int row);
    void unmarkPlayingRow();
    void next();
    void fadeOut();
    void previous();
    void setPlayerState(bool playing);
    void processEvents();
    double draw();

    PlayerLink *m_link;
    SongListModel &m_songs;
    QItemSelectionModel &m_songSelection;
    PlayListLibraryModel &m_library;
    const PlayerActions &m_actions;
    PlayDisplay &m_display;
    UserDialogs &m_dialogs;
    Hooks m_hooks;
    std::function<bool()> m_songEnded;
    QTimer *m_tmrMonitor;
    QTimer *m_tmrRestart;
    // Restart attempts since the player was last seen playing.
    int m_restartAttempt = 0;
    // CurrentSong was chosen by a user's command and the player did not take
    // it (it was gone or did not answer).
    bool m_askedForUnheard = false;

    bool m_playerLinked = false;
    // Between beginLinkingPlayer and finishLinkingPlayer.
    bool m_linking = false;
    QString m_linkingPath;
    int m_songLength = 0;
    // The row CurrentSong names carries the now-playing image; its own icons
    // wait here.
    bool m_rowMarked = false;
    int m_savedSongIcon = 0;
    int m_savedSmallIcon = 0;
    ToggleJournal m_toggles;
};
