#pragma once

class QAction;
class QMenu;
class QToolBar;
class QWidget;

// The song list's own commands: the vertical toolbar tbPlayListOptions and
// the song context menu mnuSongs. Each action's objectName is its key.
struct SongListActions
{
    QToolBar *tbPlayListOptions = nullptr;
    QAction *tbAdd = nullptr;
    QAction *tbRemove = nullptr;
    QAction *tbUp = nullptr;
    QAction *tbDown = nullptr;

    QMenu *mnuSongs = nullptr;
    QAction *mnuSongsAdd = nullptr;
    QAction *mnuSongsRemove = nullptr;
    QAction *mnuSongsPlay = nullptr;
    QAction *mnuSongsFadeAndPlay = nullptr;

    static SongListActions create(QWidget *parent);
    // Adding and removing songs, which a shortcut play list switches off.
    void setSongEditingEnabled(bool enabled) const;
};
