#pragma once

#include "scheduleplayer.h"

#include <QObject>

#include <functional>

class PlaybackSequencer;
class PlayListCommands;
class PlayListLibraryModel;
class PlayListStore;
class QItemSelectionModel;
class SongListModel;
struct PlayerActions;

// The schedule's hands on the real library and sequencer: switches the shown
// list as a click in the library does, and plays through the sequencer as
// its own buttons do. Tells when the user took over: a Stop, a row played by
// choice, another list shown.
class LibrarySchedulePlayer final : public QObject, public SchedulePlayer
{
    Q_OBJECT

public:
    LibrarySchedulePlayer(PlayListStore &store, PlayListCommands &commands,
                          PlayListLibraryModel &library, QItemSelectionModel &librarySelection,
                          SongListModel &songs, PlaybackSequencer &sequencer,
                          const PlayerActions &actions, QObject *parent = nullptr);
    ~LibrarySchedulePlayer() override;

    // The status-bar note and log entry of report().
    void setReporter(std::function<void(const QString &)> reporter)
    {
        m_reporter = std::move(reporter);
    }

    bool playing() const override;
    QString shownList() const override;
    int songCount(const QString &list) const override;
    void setOrder(bool random) override;
    void fadeOutAndStop() override;
    bool switchAndPlay(const QString &list, bool random) override;
    bool busy() const override;
    void report(const QString &text) override;

signals:
    void userTookOver();
    // An import or a folder listing has landed; `listChanged` when it showed
    // another list.
    void playerFree(bool listChanged);

private:
    PlayListStore &m_store;
    PlayListCommands &m_commands;
    PlayListLibraryModel &m_library;
    SongListModel &m_songs;
    PlaybackSequencer &m_sequencer;
    const PlayerActions &m_actions;
    std::function<void(const QString &)> m_reporter;
    // Set while the schedule itself changes the shown list.
    bool m_switching = false;
    // The job on its way showed another list.
    bool m_listChangedByJob = false;
};
