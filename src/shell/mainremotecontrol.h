#pragma once

#include "remote/remotecontrol.h"

class PlaybackSequencer;
class QWidget;
class SongListModel;
struct PlayerActions;

// The main window as a remote control sees it. Commands press the player
// toolbar's buttons through their actions, exactly as a click does; the state
// is read from the toolbar, the current row and the player, and a change is
// told on every move of a player button, every change of the song list and
// every tick of the play monitor.
class MainRemoteControl final : public RemoteControl
{
    Q_OBJECT

public:
    MainRemoteControl(QWidget &window, PlaybackSequencer &sequencer, SongListModel &songs,
                      const PlayerActions &actions, QObject *parent = nullptr);

    State state() override;
    qint64 positionMs() override;

    void play() override;
    void pause() override;
    void stop() override;
    void next() override;
    void previous() override;
    void setRepeat(bool on) override;
    void setRandom(bool on) override;
    void setVolume(double volume) override;
    void raise() override;
    void quit() override;

private:
    Status status();

    QWidget &m_window;
    PlaybackSequencer &m_sequencer;
    SongListModel &m_songs;
    const PlayerActions &m_actions;
};
