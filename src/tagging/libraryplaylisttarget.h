#pragma once

#include "playlisttarget.h"

class PlayListCommands;
class PlayListStore;
class SongListEditor;

// The wizard's play list operations carried out by the play list library, as
// the main window's own public operations do.
class LibraryPlayListTarget final : public PlayListTarget
{
public:
    LibraryPlayListTarget(PlayListStore &store, PlayListCommands &commands, SongListEditor &editor);

    bool hasSelectedPlayList() const override;
    void NewPlayList(const QString &name) override;
    void Add2PlayList(const QString &file, const QStringList &fields) override;
    void SetModifyedPLFlag() override;
    void keepAddedSongs() override;

private:
    PlayListStore &m_store;
    PlayListCommands &m_commands;
    SongListEditor &m_editor;
};
