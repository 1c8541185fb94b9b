#pragma once

#include <QObject>
#include <QString>

#include <memory>

class EventLog;
class LoudnessService;
class PlayListLibraryModel;
class PlayListStore;
class QLabel;
class QStatusBar;
class QTimer;
class SettingsStore;
class SongListModel;

// Even loudness in the main window: the loudness service on the program
// folder's cache, fed with the window's lists (the song list first, from the
// song after the current one, then the other lists' files), its progress in
// the status bar panel pLoudness (hidden while idle), and the gain of each
// song that starts.
class MainLoudness : public QObject
{
    Q_OBJECT

public:
    // How long the song list must stay unchanged before the work is planned
    // anew: a burst of edits plans once.
    static constexpr int kSettleMs = 1000;

    MainLoudness(const QString &programFolder, SettingsStore &settings, EventLog &log,
                 SongListModel &songs, PlayListLibraryModel &library, PlayListStore &store,
                 QStatusBar &bar, QObject *parent = nullptr);
    ~MainLoudness() override;

    // Reads the options and the cache and starts on the loaded lists.
    void start();
    // The stored options may have changed (the preferences closed): they
    // apply from the next song on.
    void reloadOptions();
    // The gain for a song about to start.
    double songGain(const QString &file) const;
    // Song `row` was handed to the player: the one after it is measured next.
    void songStarting(int row);
    // Stops measuring and keeps what was measured; at closing.
    void close();

    LoudnessService &service() { return *m_service; }

private:
    void planWork();

    SettingsStore &m_settings;
    SongListModel &m_songs;
    PlayListLibraryModel &m_library;
    PlayListStore &m_store;
    std::unique_ptr<LoudnessService> m_service;
    QLabel *m_pLoudness;
    QTimer *m_settle;
    bool m_started = false;
};
