#include "mainremotecontrol.h"

#include "core/duration.h"
#include "library/songlistmodel.h"
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"
#include "playback/playerlink.h"

#include <QAction>
#include <QTimer>
#include <QWidget>

#include <cmath>

MainRemoteControl::MainRemoteControl(QWidget &window, PlaybackSequencer &sequencer,
                                     SongListModel &songs, const PlayerActions &actions,
                                     QObject *parent)
    : RemoteControl(parent)
    , m_window(window)
    , m_sequencer(sequencer)
    , m_songs(songs)
    , m_actions(actions)
{
    for (QAction *button : m_actions.buttons())
        connect(button, &QAction::changed, this, &RemoteControl::changed);
    // The monitor's tick: a pause toggled in the player itself, and the
    // volume, show up within its interval.
    connect(m_sequencer.tmrMonitor(), &QTimer::timeout, this, &RemoteControl::changed);
    connect(&m_songs, &QAbstractItemModel::dataChanged, this, &RemoteControl::changed);
    connect(&m_songs, &QAbstractItemModel::modelReset, this, &RemoteControl::changed);
    connect(&m_songs, &QAbstractItemModel::layoutChanged, this, &RemoteControl::changed);
    connect(&m_songs, &QAbstractItemModel::rowsInserted, this, &RemoteControl::changed);
    connect(&m_songs, &QAbstractItemModel::rowsRemoved, this, &RemoteControl::changed);
    connect(&m_songs, &QAbstractItemModel::rowsMoved, this, &RemoteControl::changed);
}

RemoteControl::Status MainRemoteControl::status()
{
    // The monitor runs exactly while a song plays or is paused; whether it is
    // paused only the player knows (a second Pause resumes it while the
    // toolbar still shows Pause).
    if (!m_sequencer.tmrMonitor()->isActive())
        return Status::Stopped;
    return m_sequencer.link().WinampIsPlaying() == PlayerLink::kPaused ? Status::Paused
                                                                       : Status::Playing;
}

RemoteControl::State MainRemoteControl::state()
{
    State state;
    state.status = status();
    const int song = m_songs.CurrentSong();
    if (song >= 1 && song <= m_songs.rowCount()) {
        const SongRow &row = m_songs.row(song - 1);
        state.track.number = song;
        state.track.title = row.field(chTitle);
        state.track.artist = row.field(chArtist);
        state.track.album = row.field(chAlbum);
        state.track.file = row.field(chFile);
        // The player's length of the file that plays; the row's own length
        // text otherwise.
        state.track.lengthSeconds = state.status != Status::Stopped && m_sequencer.SongLength() > 0
                                        ? m_sequencer.SongLength()
                                        : static_cast<int>(ParseDuration(row.field(chLen)));
    }
    state.repeat = m_actions.tbRepeat->isChecked();
    state.random = m_actions.tbRandom->isChecked();
    const int volume = m_sequencer.link().volumePercent();
    state.volume = volume < 0 ? 0.0 : volume / 100.0;
    state.canPlay = m_actions.tbPlay->isEnabled();
    state.canPause = m_actions.tbPause->isEnabled();
    state.canGoNext = m_actions.tbNext->isEnabled();
    state.canGoPrevious = m_actions.tbPrev->isEnabled();
    return state;
}

qint64 MainRemoteControl::positionMs()
{
    if (status() == Status::Stopped)
        return 0;
    return std::max(0, m_sequencer.link().WinampGetPosition());
}

void MainRemoteControl::play()
{
    m_actions.tbPlay->trigger();
}

void MainRemoteControl::pause()
{
    m_actions.tbPause->trigger();
}

void MainRemoteControl::stop()
{
    m_actions.tbStop->trigger();
}

void MainRemoteControl::next()
{
    m_actions.tbNext->trigger();
}

void MainRemoteControl::previous()
{
    m_actions.tbPrev->trigger();
}

void MainRemoteControl::setRepeat(bool on)
{
    if (m_actions.tbRepeat->isChecked() != on)
        m_actions.tbRepeat->trigger();
}

void MainRemoteControl::setRandom(bool on)
{
    // Random and Continue share one group: pressing one releases the other.
    if (m_actions.tbRandom->isChecked() != on)
        (on ? m_actions.tbRandom : m_actions.tbContinue)->trigger();
}

void MainRemoteControl::setVolume(double volume)
{
    m_sequencer.link().setVolumePercent(static_cast<int>(std::lround(volume * 100.0)));
    emit changed();
}

void MainRemoteControl::raise()
{
    m_window.setWindowState((m_window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
}

void MainRemoteControl::quit()
{
    m_window.close();
}
