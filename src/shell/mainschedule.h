#pragma once

#include "schedule/frmschedule.h"
#include "schedule/scheduleplan.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class EventLog;
class LibrarySchedulePlayer;
class PlaybackSequencer;
class PlayListCommands;
class PlayListLibraryModel;
class PlayListStore;
class QAction;
class QItemSelectionModel;
class QLabel;
class QMainWindow;
class QMenu;
class QToolBar;
class ScheduleClock;
class ScheduleRunner;
class SongListModel;
class UserDialogs;
struct PlayerActions;

// The day schedule in the main window: its file in the program folder, the
// runner and its hands on the library and the sequencer, the status-bar
// panel, the Schedule window, Play List > Schedule... and the tool button.
class MainSchedule : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        QString programFolder;
        QMainWindow *window = nullptr;
        QMenu *playListMenu = nullptr;
        QToolBar *tbPlayer = nullptr;
        PlayListStore *store = nullptr;
        PlayListCommands *commands = nullptr;
        PlayListLibraryModel *library = nullptr;
        QItemSelectionModel *librarySelection = nullptr;
        SongListModel *songs = nullptr;
        PlaybackSequencer *sequencer = nullptr;
        const PlayerActions *actions = nullptr;
        UserDialogs *dialogs = nullptr;
        EventLog *log = nullptr;
        // Null: the system's clock.
        ScheduleClock *clock = nullptr;
    };

    static constexpr int kStatusNoteMs = 60'000;
    // Dates this many days past are dropped from the file.
    static constexpr int kKeepPastDays = 7;

    explicit MainSchedule(const Parts &parts);
    ~MainSchedule() override;

    // Reads the file and follows it when it says so; at program start, after
    // the lists are loaded and the player is linked.
    void start();
    void mnuPLSchedule_Click();

    ScheduleRunner &runner() { return *m_runner; }
    QString filePath() const;
    // Why the file could not be read at start, empty when it was.
    const QString &problem() const { return m_problem; }
    QAction *mnuPLSchedule() const { return m_mnuPLSchedule; }
    QAction *tbSchedule() const { return m_tbSchedule; }
    QLabel *pSchedule() const { return m_pSchedule; }
    frmSchedule *window() const { return m_window; }

private:
    bool save(const SchedulePlan &plan);
    bool confirmDelete(const QStringList &names);
    void renamed(const QString &oldName, const QString &newName);
    void report(const QString &text);

    Parts m_parts;
    std::unique_ptr<ScheduleClock> m_ownClock;
    std::unique_ptr<LibrarySchedulePlayer> m_player;
    std::unique_ptr<ScheduleRunner> m_runner;
    QString m_problem;
    QAction *m_mnuPLSchedule = nullptr;
    QAction *m_tbSchedule = nullptr;
    QLabel *m_pSchedule = nullptr;
    QPointer<frmSchedule> m_window;
};
