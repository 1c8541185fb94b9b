#include "libraryscheduleplayer.h"

#include "library/playlistcommands.h"
#include "library/playlistlibrarymodel.h"
#include "library/playliststore.h"
#include "library/songlistmodel.h"
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"

#include <QAction>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QTimer>

#include <utility>

LibrarySchedulePlayer::LibrarySchedulePlayer(PlayListStore &store, PlayListCommands &commands,
                                             PlayListLibraryModel &library,
                                             QItemSelectionModel &librarySelection,
                                             SongListModel &songs, PlaybackSequencer &sequencer,
                                             const PlayerActions &actions, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_commands(commands)
    , m_library(library)
    , m_songs(songs)
    , m_sequencer(sequencer)
    , m_actions(actions)
{
    connect(&sequencer, &PlaybackSequencer::userChoseWhatPlays, this,
            &LibrarySchedulePlayer::userTookOver);
    connect(&librarySelection, &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_switching)
            return;
        if (m_commands.jobInProgress())
            m_listChangedByJob = true;
        else
            emit userTookOver();
    });
    m_commands.setJobEndListener(
        [this] { emit playerFree(std::exchange(m_listChangedByJob, false)); });
}

LibrarySchedulePlayer::~LibrarySchedulePlayer()
{
    m_commands.setJobEndListener({});
}

bool LibrarySchedulePlayer::playing() const
{
    return m_sequencer.tmrMonitor()->isActive() || m_sequencer.tmrRestart()->isActive();
}

QString LibrarySchedulePlayer::shownList() const
{
    const int row = m_store.ShownPlayList();
    return row >= 0 ? m_library.entry(row).name : QString();
}

int LibrarySchedulePlayer::songCount(const QString &list) const
{
    const int row = m_library.findByName(list);
    if (row < 0)
        return -1;
    if (row == m_store.ShownPlayList())
        return m_songs.rowCount();
    // A shortcut list's songs are found when it is shown; a stored list is
    // empty exactly when its file is.
    if (!m_library.entry(row).shortcut.isEmpty())
        return 1;
    m_store.finishWrites();
    const QFileInfo copy(m_store.workingCopyOf(row));
    const QFileInfo stored(m_store.storedFileOf(row));
    const QFileInfo &file = copy.exists() ? copy : stored;
    return file.exists() && file.size() > 0 ? 1 : 0;
}

bool LibrarySchedulePlayer::busy() const
{
    return m_commands.jobInProgress();
}

void LibrarySchedulePlayer::setOrder(bool random)
{
    (random ? m_actions.tbRandom : m_actions.tbContinue)->setChecked(true);
    m_actions.tbRepeat->setChecked(true);
}

void LibrarySchedulePlayer::fadeOutAndStop()
{
    m_sequencer.fadeOutStop(true);
}

bool LibrarySchedulePlayer::switchAndPlay(const QString &list, bool random)
{
    const int row = m_library.findByName(list);
    if (row < 0)
        return false;
    const int current = m_songs.CurrentSong();
    const QString lastFile = current >= 1 && current <= m_songs.rowCount()
                                 ? m_songs.row(current - 1).field(chFile)
                                 : QString();
    m_sequencer.StopPlayback(false);

    m_switching = true;
    m_store.selectPlayList(row);
    m_commands.followLibrarySelection();
    m_switching = false;
    if (m_store.ShownPlayList() != row || m_songs.rowCount() == 0)
        return false;

    setOrder(random);
    const int count = m_songs.rowCount();
    const auto fileOf = [this](int song) { return m_songs.row(song - 1).field(chFile); };
    int first = 1;
    if (random) {
        // A few draws find another song than the one that just ended.
        for (int attempt = 0; attempt < 8; ++attempt) {
            first = m_sequencer.SelectRandomTitle();
            if (first < 1 || fileOf(first) != lastFile)
                break;
        }
    }
    if (first >= 1 && first <= count && fileOf(first) == lastFile && count > 1)
        first = first % count + 1;
    m_sequencer.EnablePlayListControls(false);
    m_songs.setCurrentSong(first);
    m_sequencer.PlaySong();
    return true;
}

void LibrarySchedulePlayer::report(const QString &text)
{
    if (m_reporter)
        m_reporter(text);
}
