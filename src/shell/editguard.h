#pragma once

#include <QList>
#include <QString>

class PlayListStore;
class QAction;
class QStatusBar;
struct MainActions;
struct SongListActions;

// Keeps the commands that would write switched off while the store says why
// they cannot (a program folder that cannot be written, a shown play list
// that could not be read), with that reason as their tool tip. Once the reason
// is gone each command gets back the state the rest of the window gave it.
class EditGuard
{
public:
    EditGuard(PlayListStore &store, const MainActions &actions, const SongListActions &songActions);

    // Probes a folder that could not be written once more (the user may have
    // made room), then applies the reasons.
    void recheck();
    // Applies the reasons as they stand, after the window changed states.
    void reapply();
    // Says once what is wrong with the folder, if anything: in the status
    // bar, not in a message box, so that an unattended start goes on to play.
    void announce(QStatusBar &statusBar) const;

private:
    struct Guarded
    {
        QAction *action = nullptr;
        bool wholeFolder = false; // guarded for the folder only, not for one list
        bool blocked = false;
        bool wanted = false; // the state the window gave it
        QString toolTip;     // its own tool tip
    };

    PlayListStore &m_store;
    QList<Guarded> m_guarded;
};
