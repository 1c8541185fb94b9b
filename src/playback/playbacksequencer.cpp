#include "playbacksequencer.h"

#include "core/userdialogs.h"
#include "library/playlistlibrarymodel.h"
#include "library/songlistmodel.h"
#include "playdisplay.h"
#include "playeractions.h"
#include "playerlink.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QRandomGenerator>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <utility>

PlaybackSequencer::PlaybackSequencer(PlayerLink &link, SongListModel &songs,
                                     QItemSelectionModel &songSelection,
                                     PlayListLibraryModel &library, const PlayerActions &actions,
                                     PlayDisplay &display, UserDialogs &dialogs, QObject *parent)
    : QObject(parent)
    , m_link(&link)
    , m_songs(songs)
    , m_songSelection(songSelection)
    , m_library(library)
    , m_actions(actions)
    , m_display(display)
    , m_dialogs(dialogs)
    , m_tmrMonitor(new QTimer(this))
    , m_tmrRestart(new QTimer(this))
{
    m_tmrMonitor->setObjectName(QStringLiteral("tmrMonitor"));
    m_tmrMonitor->setInterval(500);
    m_tmrRestart->setObjectName(QStringLiteral("tmrRestart"));
    m_tmrRestart->setSingleShot(true);
    connect(m_tmrRestart, &QTimer::timeout, this, &PlaybackSequencer::tmrRestart_Timer);

    m_toggles.watch(m_actions.buttons());
    for (QAction *button : m_actions.buttons())
        connect(button, &QAction::triggered, this, [this, button] { buttonTriggered(button); });
    for (QAction *item : {m_actions.tbbFadeOut, m_actions.tbbFadeOutNext}) {
        connect(item, &QAction::triggered, this,
                [this, item] { tbPlayer_ButtonMenuClick(item->objectName()); });
    }
    for (QAction *button : {m_actions.tbPrev, m_actions.tbPause, m_actions.tbNext})
        button->setEnabled(false);
}

void PlaybackSequencer::setHooks(Hooks hooks)
{
    m_hooks = std::move(hooks);
}

bool PlaybackSequencer::linkPlayer()
{
    const QString path = m_hooks.playerPath ? m_hooks.playerPath() : QString();
    m_playerLinked = m_link->StartWinamp(path);
    stopAPlayerPlayingAlone();
    return m_playerLinked;
}

void PlaybackSequencer::stopAPlayerPlayingAlone()
{
    // A player found playing while VORN plays nothing was left so by an
    // earlier VORN (one that crashed, say): stop it, so that what is heard is
    // what the window shows.
    const bool vornPlays =
        m_actions.tbPlay->isChecked() || m_tmrMonitor->isActive() || m_tmrRestart->isActive();
    if (m_playerLinked && !vornPlays && m_link->WinampIsPlaying() != PlayerLink::kStopped)
        m_link->WinampStopButton();
}

void PlaybackSequencer::beginLinkingPlayer()
{
    m_linkingPath = m_hooks.playerPath ? m_hooks.playerPath() : QString();
    m_link->beginStart(m_linkingPath);
    m_linking = true;
}

bool PlaybackSequencer::finishLinkingPlayer()
{
    if (std::exchange(m_linking, false)) {
        m_playerLinked = m_link->finishStart(m_linkingPath);
        stopAPlayerPlayingAlone();
    }
    return m_playerLinked;
}

void PlaybackSequencer::buttonTriggered(QAction *button)
{
    // A command given while the player is still coming up waits for it.
    finishLinkingPlayer();
    // A refused command leaves the toolbar as it was, though Qt has already
    // toggled the button the user pressed.
    if (refused(button))
        m_toggles.undo(button);
    else
        m_toggles.forget();
    tbPlayer_ButtonClick(button->objectName());
}

void PlaybackSequencer::tbPlayer_ButtonClick(const QString &key)
{
    QAction *button = m_actions.byKey(key);
    if (!button)
        return;
    finishLinkingPlayer();
    if (refused(button)) {
        ShowWinampNotFound();
        return;
    }
    // A pressed button of group A stays pressed when clicked again.
    if (button->actionGroup() == m_actions.groupA)
        button->setChecked(true);

    if (button == m_actions.tbPlay) {
        StartPlayback();
    } else if (button == m_actions.tbStop) {
        m_songs.clearTags();
        m_actions.tbStop->setChecked(true);
        StopPlayback(true);
        emit userChoseWhatPlays();
    } else if (button == m_actions.tbPause) {
        PausePlayback();
    } else if (button == m_actions.tbMixer) {
        if (m_hooks.showMixer)
            m_hooks.showMixer(m_actions.tbMixer->isChecked());
    } else if (button == m_actions.tbNext) {
        next();
    } else if (button == m_actions.tbPrev) {
        previous();
    } else if (button == m_actions.tbPreferences) {
        if (m_hooks.showPreferences)
            m_hooks.showPreferences();
        if (m_hooks.applyBannerSettings)
            m_hooks.applyBannerSettings();
        if (!changePlayerIfNeeded() && !m_playerLinked)
            linkPlayer();
    }
}

bool PlaybackSequencer::refused(QAction *button) const
{
    // While a dead player is being brought back, Stop still ends the attempts.
    if (button == m_actions.tbStop && m_tmrRestart->isActive())
        return false;
    return button != m_actions.tbPreferences && !m_playerLinked;
}

void PlaybackSequencer::tbPlayer_ButtonMenuClick(const QString &key)
{
    if (key == m_actions.tbbFadeOut->objectName()) {
        fadeOutStop(false);
        emit userChoseWhatPlays();
    } else if (key == m_actions.tbbFadeOutNext->objectName()) {
        fadeOut();
        tbPlayer_ButtonClick(m_actions.tbNext->objectName());
    }
}

void PlaybackSequencer::fadeOutStop(bool release)
{
    m_tmrRestart->stop();
    fadeOut();
    StopPlayback(release);
}

void PlaybackSequencer::fadeOut()
{
    // Events keep running during the fade; a monitor tick meanwhile must not
    // take the fading song's end for a reason to start the next one.
    m_tmrMonitor->stop();
    m_link->WinampFadeOutStop();
}

void PlaybackSequencer::next()
{
    StopPlayback(false);
    // What this plays was asked for: a player that does not take it is
    // given it when it is back (tmrRestart_Timer).
    m_askedForUnheard = true;
    if (m_actions.tbRandom->isChecked()) {
        setCurrentSong(SelectRandomTitle());
        PlaySong();
        return;
    }
    const int rows = m_songs.rowCount();
    setCurrentSong(m_songs.CurrentSong() + 1);
    if (m_songs.CurrentSong() > rows) {
        if (m_actions.tbRepeat->isChecked()) {
            setCurrentSong(1);
            PlaySong();
        } else {
            setCurrentSong(m_songs.CurrentSong() - 1);
            StopPlayback(false);
        }
        return;
    }
    PlaySong();
}

void PlaybackSequencer::previous()
{
    // Before any song has played there is no previous one: Prev plays.
    if (m_songs.CurrentSong() <= 0) {
        StartPlayback();
        return;
    }
    StopPlayback(false);
    m_askedForUnheard = true;
    if (m_actions.tbRandom->isChecked()) {
        setCurrentSong(SelectRandomTitle());
        PlaySong();
        return;
    }
    setCurrentSong(m_songs.CurrentSong() - 1);
    if (m_songs.CurrentSong() == 0) {
        if (m_actions.tbRepeat->isChecked()) {
            setCurrentSong(m_songs.rowCount());
            PlaySong();
        } else {
            setCurrentSong(1);
            StopPlayback(false);
        }
        return;
    }
    PlaySong();
}

void PlaybackSequencer::playNextAfterEnd()
{
    StopPlayback(false);
    m_askedForUnheard = false;
    if (m_songEnded && m_songEnded())
        return;
    if (!m_actions.tbContinue->isChecked()) {
        setCurrentSong(SelectRandomTitle());
        PlaySong();
        return;
    }
    setCurrentSong(m_songs.CurrentSong() + 1);
    if (m_songs.CurrentSong() <= m_songs.rowCount()) {
        PlaySong();
    } else if (m_actions.tbRepeat->isChecked()) {
        setCurrentSong(1);
        PlaySong();
    } else {
        setCurrentSong(m_songs.CurrentSong() - 1);
        StopPlayback(false);
    }
}

int PlaybackSequencer::restartDelaySeconds(int attempt)
{
    constexpr int kLongest = 30;
    return attempt >= 5 ? kLongest : std::min(1 << std::max(attempt, 0), kLongest);
}

void PlaybackSequencer::playerGone()
{
    m_tmrMonitor->stop();
    const int delay = restartDelaySeconds(m_restartAttempt++);
    reportTrouble(QStringLiteral("%1 stopped unexpectedly; starting it again in %2 s")
                      .arg(m_link->playerName())
                      .arg(delay));
    m_tmrRestart->start(delay * 1000);
}

void PlaybackSequencer::tmrRestart_Timer()
{
    m_tmrRestart->stop();
    if (!linkPlayer()) {
        retryStart();
        return;
    }
    const QString player = m_link->playerName();
    // A song the user asked for that the player never took (it was gone or
    // stalled) is played now, once; otherwise the song that played may be
    // what killed the player, and playing goes on with the next one.
    if (std::exchange(m_askedForUnheard, false)) {
        PlaySong();
        reportTrouble(QStringLiteral("%1 started again; playing the song asked for").arg(player));
        return;
    }
    playNextAfterEnd();
    reportTrouble(
        m_tmrMonitor->isActive()
            ? QStringLiteral("%1 started again; playing on with the next song").arg(player)
            : QStringLiteral("%1 started again; playback ended: no song is left to play")
                  .arg(player));
}

void PlaybackSequencer::closePlayer()
{
    // Nothing may take the player's going for a death and bring it back.
    m_tmrMonitor->stop();
    m_tmrRestart->stop();
    m_link->CloseWinamp();
}

void PlaybackSequencer::retryStart()
{
    const int delay = restartDelaySeconds(m_restartAttempt++);
    reportTrouble(QStringLiteral("%1 could not be started; trying again in %2 s")
                      .arg(m_link->playerName())
                      .arg(delay));
    m_tmrRestart->start(delay * 1000);
}

bool PlaybackSequencer::changePlayerIfNeeded()
{
    if (!m_hooks.needsNewPlayerLink || !m_hooks.replacePlayerLink || !m_hooks.needsNewPlayerLink())
        return false;
    // Music is on while a song is followed or a dead player is awaited.
    const bool musicOn =
        m_songs.CurrentSong() > 0 && (m_tmrMonitor->isActive() || m_tmrRestart->isActive());
    const bool paused =
        musicOn && m_playerLinked && m_link->WinampIsPlaying() == PlayerLink::kPaused;
    // Nothing may look at the old player while it closes and the new one starts.
    m_tmrMonitor->stop();
    m_tmrRestart->stop();
    m_restartAttempt = 0;
    m_playerLinked = false;
    m_hooks.replacePlayerLink();
    if (!linkPlayer()) {
        if (musicOn)
            retryStart();
        return true;
    }
    if (musicOn) {
        PlaySong();
        if (paused) {
            PausePlayback();
            m_actions.tbPause->setChecked(true);
        }
    }
    return true;
}

void PlaybackSequencer::reportTrouble(const QString &text)
{
    if (m_hooks.reportTrouble)
        m_hooks.reportTrouble(text);
}

void PlaybackSequencer::lvSongs_DblClick()
{
    finishLinkingPlayer();
    if (!m_playerLinked) {
        ShowWinampNotFound();
        return;
    }
    const QModelIndexList selected = m_songSelection.selectedRows();
    if (selected.isEmpty())
        return;
    const QModelIndex current = m_songSelection.currentIndex();
    const int row = current.isValid() && m_songSelection.isRowSelected(current.row())
                        ? current.row()
                        : selected.first().row();
    StopPlayback(false);
    for (QAction *button : {m_actions.tbNext, m_actions.tbPause, m_actions.tbPrev})
        button->setEnabled(true);
    setPlayerState(true);
    EnablePlayListControls(false);
    setCurrentSong(row + 1);
    m_askedForUnheard = true;
    PlaySong();
    emit userChoseWhatPlays();
}

void PlaybackSequencer::mnuSongsPlay_Click()
{
    lvSongs_DblClick();
}

void PlaybackSequencer::mnuSongsFadeAndPlay_Click()
{
    const bool wasPlaying = m_tmrMonitor->isActive();
    fadeOut();
    // With no row to play the faded song has still ended: show it stopped
    // rather than a playing state with no song behind it.
    if (m_playerLinked && wasPlaying && m_songSelection.selectedRows().isEmpty()) {
        StopPlayback(false);
        return;
    }
    lvSongs_DblClick();
}

void PlaybackSequencer::StartPlayback()
{
    EnablePlayListControls(false);
    if (m_link->WinampIsPlaying() == PlayerLink::kPaused) {
        m_link->WinampPlayButton();
        return;
    }
    setCurrentSong(1);
    m_askedForUnheard = true;
    PlaySong();
}

void PlaybackSequencer::PlaySong()
{
    // A song started by any path ends the wait for a dead player.
    m_tmrRestart->stop();
    const int rows = m_songs.rowCount();
    if (rows == 0) {
        m_actions.tbPlay->setChecked(false);
        return;
    }
    // Rows removed while playing can leave CurrentSong past the end.
    setCurrentSong(qBound(1, m_songs.CurrentSong(), rows));
    const int row = m_songs.CurrentSong() - 1;

    for (QAction *button : {m_actions.tbNext, m_actions.tbPause, m_actions.tbPrev})
        button->setEnabled(true);
    setPlayerState(true);

    m_link->WinampClearList();
    processEvents();
    const QString file = m_songs.row(row).field(chFile);
    // Only regular files are played; the player refuses any other as it does
    // a missing file, and playing goes on with the next song.
    if (const QFileInfo info(file); info.exists() && !info.isFile())
        reportTrouble(QStringLiteral("Skipped %1: not a regular file").arg(file));
    m_link->setSongGain(m_hooks.songGain ? m_hooks.songGain(file) : 0.0);
    m_link->WinampAddFile(file);
    if (m_hooks.songStarting)
        m_hooks.songStarting(row);

    markPlayingRow(row);
    if (m_hooks.scrollToRow)
        m_hooks.scrollToRow(row);
    m_songs.setTag(row, QStringLiteral("*"));

    processEvents();
    m_link->WinampStartPlay();
    processEvents();
    m_songLength = m_link->WinampGetLength();
    // A song the player took is no longer waiting for one.
    if (m_askedForUnheard && m_link->FindWinamp())
        m_askedForUnheard = false;
    m_tmrMonitor->start();
}

void PlaybackSequencer::StopPlayback(bool release)
{
    // The user's Stop: no dead player is brought back after it.
    if (release) {
        m_tmrRestart->stop();
        m_restartAttempt = 0;
        m_askedForUnheard = false;
    }
    if (m_songs.CurrentSong() == 0 || m_library.count() == 0)
        return;
    for (QAction *button : {m_actions.tbNext, m_actions.tbPause, m_actions.tbPrev})
        button->setEnabled(false);
    setPlayerState(false);

    unmarkPlayingRow();

    m_link->WinampClearList();
    m_link->WinampStopButton();
    m_tmrMonitor->stop();
    m_display.setTimeText(QStringLiteral("00:00:00"));
    m_display.setProgress(0);
    // A caption that named the song while minimized would outlive it.
    m_display.setCaption(QStringLiteral("VORN"));
    EnablePlayListControls(release);
}

void PlaybackSequencer::setCurrentSong(int song)
{
    if (song != m_songs.CurrentSong())
        unmarkPlayingRow();
    m_songs.setCurrentSong(song);
}

void PlaybackSequencer::markPlayingRow(int row)
{
    // Playing the marked row again (a restarted player) must not take the
    // now-playing image for the row's own icon.
    unmarkPlayingRow();
    m_savedSongIcon = m_songs.row(row).icon;
    m_savedSmallIcon = m_songs.row(row).smallIcon;
    m_songs.setIcons(row, kNowPlayingImage, kNowPlayingImage);
    m_rowMarked = true;
}

void PlaybackSequencer::unmarkPlayingRow()
{
    if (!m_rowMarked)
        return;
    m_rowMarked = false;
    // When the playing row itself was removed, CurrentSong names another row
    // that still shows its own icon.
    const int row = m_songs.CurrentSong() - 1;
    if (row >= 0 && row < m_songs.rowCount() && m_songs.row(row).icon == kNowPlayingImage)
        m_songs.setIcons(row, m_savedSongIcon, m_savedSmallIcon);
}

void PlaybackSequencer::PausePlayback()
{
    m_link->WinampClearList();
    m_link->WinampPauseButton();
}

int PlaybackSequencer::SelectRandomTitle()
{
    const int rows = m_songs.rowCount();
    if (rows == 0) {
        StopPlayback(false);
        return 0;
    }
    int drawn = 0;
    for (;;) {
        for (int i = 0; i < 2 * rows; ++i) {
            drawn = qBound(1, static_cast<int>(rows * draw()) + 1, rows);
            if (m_songs.row(drawn - 1).tag().isEmpty())
                return drawn;
        }
        for (int row = 0; row < rows; ++row) {
            if (m_songs.row(row).tag().isEmpty())
                return row + 1;
        }
        m_songs.clearTags();
        if (!m_actions.tbRepeat->isChecked())
            break;
    }
    StopPlayback(false);
    return drawn;
}

void PlaybackSequencer::EnablePlayListControls(bool enabled)
{
    if (m_hooks.enablePlayListControls)
        m_hooks.enablePlayListControls(enabled);
}

void PlaybackSequencer::ShowWinampNotFound()
{
    const QString player = m_link->playerName();
    m_dialogs.messageBox(
        QStringLiteral("Error: %1 Not Found").arg(player),
        QStringLiteral("The %1 application could not be found, please use the "
                       "Preferences dialog to select the path where the %2 "
                       "file can be found")
            .arg(player, player == QLatin1String("Winamp") ? QStringLiteral("Winamp.exe") : player),
        DialogButtons::Ok, DialogIcon::Warning);
}

void PlaybackSequencer::setPlayerState(bool playing)
{
    m_actions.tbStop->setChecked(!playing);
    m_actions.tbPlay->setChecked(playing);
    if (playing)
        m_actions.tbPause->setChecked(false);
}

void PlaybackSequencer::processEvents()
{
    if (m_hooks.processEvents)
        m_hooks.processEvents();
}

double PlaybackSequencer::draw()
{
    if (m_hooks.random)
        return m_hooks.random();
    // Seeded from the time of day, as a fresh selector run would be.
    static QRandomGenerator generator(
        static_cast<quint32>(QTime::currentTime().msecsSinceStartOfDay()));
    return generator.generateDouble();
}
