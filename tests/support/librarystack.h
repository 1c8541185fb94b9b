#pragma once

#include "library/playlistcommands.h"
#include "library/playlistlibrarymodel.h"
#include "library/playliststore.h"
#include "library/songlisteditor.h"
#include "library/songlistmodel.h"
#include "shell/statuspanels.h"
#include "support/librarywiring.h"
#include "support/scripteddialogs.h"

#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>

// The play list library wired as the main window wires it, without widgets:
// the library and song models with their selections, the store, the song
// list editor and the play list commands, over a temporary program folder.
// Fixtures that replace a part's hooks keep `refresh` as its status refresh.
struct LibraryStack
{
    LibraryStack()
        : store(dir.path(), library, librarySelection, songs, dialogs)
        , editor(songs, songSelection, store, dialogs)
        , commands(store, library, librarySelection, songs, editor, dialogs)
    {
        wireLibrary(store, editor, commands, [this] { refresh(); });
    }

    // A media file of `size` bytes (no real audio) in the folder "media" of
    // the program folder; returns its path.
    QString media(const QString &name, qint64 size = 10) const
    {
        QDir(dir.path()).mkpath(QStringLiteral("media"));
        const QString path = dir.filePath(QStringLiteral("media/") + name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.resize(size);
        return path;
    }

    // What the main window's status refresh does: counts, totals, and writes
    // the selected play list's working copy.
    void refresh()
    {
        ++statusRefreshes;
        status = StatusPanelTexts::compute(library.count(), songs);
        store.SavePlayList(true);
    }

    QTemporaryDir dir; // the program folder
    PlayListLibraryModel library;
    QItemSelectionModel librarySelection{&library};
    SongListModel songs;
    QItemSelectionModel songSelection{&songs};
    ScriptedDialogs dialogs;
    PlayListStore store;
    SongListEditor editor;
    PlayListCommands commands;

    int statusRefreshes = 0;
    StatusPanelTexts status = StatusPanelTexts::initial();
};
