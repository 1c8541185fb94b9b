#pragma once

#include "playlisttarget.h"

#include <functional>

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
    bool mayCreatePlayList() const override;
    // Asked by mayCreatePlayList; without it a new list is always allowed.
    void setPlayListCommandsEnabled(std::function<bool()> enabled)
    {
        m_commandsEnabled = std::move(enabled);
    }
    void NewPlayList(const QString &name) override;
    void Add2PlayList(const QString &file, const QStringList &fields) override;
    void SetModifyedPLFlag() override;
    void keepAddedSongs() override;

private:
    PlayListStore &m_store;
    PlayListCommands &m_commands;
    SongListEditor &m_editor;
    std::function<bool()> m_commandsEnabled;
};
