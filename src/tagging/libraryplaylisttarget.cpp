#include "libraryplaylisttarget.h"

#include "library/playlistcommands.h"
#include "library/playliststore.h"
#include "library/songlisteditor.h"

LibraryPlayListTarget::LibraryPlayListTarget(PlayListStore &store, PlayListCommands &commands,
                                             SongListEditor &editor)
    : m_store(store)
    , m_commands(commands)
    , m_editor(editor)
{}

bool LibraryPlayListTarget::hasSelectedPlayList() const
{
    return m_store.selectedPlayList() >= 0;
}

bool LibraryPlayListTarget::mayCreatePlayList() const
{
    return !m_commandsEnabled || m_commandsEnabled();
}

void LibraryPlayListTarget::NewPlayList(const QString &name)
{
    m_commands.NewPlayList(name);
}

void LibraryPlayListTarget::Add2PlayList(const QString &file, const QStringList &fields)
{
    m_editor.Add2PlayList(file, fields);
}

void LibraryPlayListTarget::keepAddedSongs()
{
    m_store.SavePlayList(true);
}

void LibraryPlayListTarget::SetModifyedPLFlag()
{
    m_store.SetModifyedPLFlag();
}
