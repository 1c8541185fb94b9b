#pragma once

#include <QPersistentModelIndex>
#include <QString>

#include <functional>

enum class DialogAnswer;
class PlayListLibraryModel;
class QItemSelectionModel;
class SongListModel;
class UserDialogs;
struct SongRow;

// Keeps the stored play lists (<name>.sdf) and their working copies
// (<name>.tmp) in the program folder in step with the library list and the
// song list. The working copy, not the stored file, is what gets loaded, so
// unsaved changes survive switching between play lists.
class PlayListStore
{
public:
    // What the store asks of the window around it. Every hook may be left empty.
    struct Hooks
    {
        std::function<void()> updateStatusBar;
        std::function<void(bool busy)> setBusy;
        std::function<void(bool on)> setLibraryMultiSelection;
        // Re-enables adding and removing songs, which a shortcut play list disables.
        std::function<void()> enableSongEditing;
        // Fills the song list from a shortcut play list's folder.
        std::function<void(const QString &folder)> loadShortcutPlayList;
        // Sets a loaded row's large and small file-type icons.
        std::function<void(SongRow &row)> assignIcons;
    };

    PlayListStore(QString folder, PlayListLibraryModel &library,
                  QItemSelectionModel &librarySelection, SongListModel &songs,
                  UserDialogs &dialogs);

    void setHooks(Hooks hooks);

    // Fills the library with every stored play list and loads the first one.
    void LoadPlayLists();
    // Replaces the song list by the working copy of play list `name`.
    void LoadPlayList(const QString &name);
    // Writes the song list for the selected play list: its working copy only,
    // or its stored file (asking for a name when it is still untitled).
    void SavePlayList(bool WorkingCopyOnly);
    // Adds a new, empty, modified entry and selects it.
    void NewPlayList(const QString &name);
    void SetModifyedPLFlag();
    // Asks about every modified play list; true when the user cancelled.
    bool QuerySaveChanges();
    void DeleteWorkingCopies();

    // The row of the selected play list, or -1.
    int selectedPlayList() const;
    void selectPlayList(int row);
    // The row of the entry whose songs the song list shows, or -1.
    int ShownPlayList() const;
    void setShownPlayList(int row);

    // "A Play List with the same name already exists, ..." with Yes, No and
    // Cancel: asked before a stored play list is replaced by another.
    DialogAnswer askOverwrite();

    QString storedFile(const QString &name) const;
    QString workingCopy(const QString &name) const;

private:
    // Asks for the name of an untitled play list; false when the user cancelled.
    bool promptForName(int row, QString &name);
    void setBusy(bool busy);
    void updateStatusBar();

    QString m_folder;
    PlayListLibraryModel &m_library;
    QItemSelectionModel &m_selection;
    SongListModel &m_songs;
    UserDialogs &m_dialogs;
    Hooks m_hooks;
    QPersistentModelIndex m_shown;
};
