#pragma once

#include "library/playlistcommands.h"
#include "library/playliststore.h"
#include "library/songlisteditor.h"

#include <functional>

// Fills the hooks of the store, the song list editor and the play list
// commands as the main window does: each part's status refresh is `refresh`,
// shortcut lists are listed by the commands, imports go through them, and
// new rows get their file-type icons from `assignIcons` when one is given.
inline void wireLibrary(PlayListStore &store, SongListEditor &editor, PlayListCommands &commands,
                        const std::function<void()> &refresh,
                        const std::function<void(SongRow &)> &assignIcons = {})
{
    PlayListStore::Hooks storeHooks;
    storeHooks.updateStatusBar = refresh;
    storeHooks.loadShortcutPlayList = [&commands](const QString &folder) {
        commands.LoadShortcutPlayList(folder, false, QString());
    };
    storeHooks.enableSongEditing = [&commands] { commands.enableSongEditing(); };
    storeHooks.assignIcons = assignIcons;
    store.setHooks(storeHooks);

    SongListEditor::Hooks editorHooks;
    editorHooks.updateStatusBar = refresh;
    editorHooks.assignIcons = assignIcons;
    editorHooks.importPlayListFile = [&commands](const QString &path, bool merge) {
        commands.ImportPlayListFile(path, merge);
    };
    editor.setHooks(editorHooks);

    PlayListCommands::Hooks commandHooks;
    commandHooks.updateStatusBar = refresh;
    commands.setHooks(commandHooks);
}
