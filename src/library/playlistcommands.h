#pragma once

#include "playlistimportjob.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class PlayListLibraryModel;
class PlayListStore;
class QItemSelectionModel;
class SongListEditor;
class SongListModel;
class UserDialogs;

// What the user does to whole play lists: new, rename, delete, save, save as,
// shortcut play lists, switching by clicking the library list, and importing
// PLS and M3U lists of other players. Widget-free: the window answers the
// hooks and forwards the library list's mouse, edit and drop events.
//
// Invariant kept by every command: the play list whose songs the song list
// shows is the selected one (or none is selected), since every status refresh
// writes the song list into the selected play list's working copy.
class PlayListCommands
{
public:
    // What the commands ask of the window around them. Every hook may be left
    // empty.
    struct Hooks
    {
        std::function<void()> updateStatusBar;
        std::function<void(bool busy)> setBusy;
        // tbAdd and tbRemove of tbTools and tbPlayListOptions, mnuSongsAdd and
        // mnuSongsRemove: off while a shortcut play list is shown.
        std::function<void(bool enabled)> setSongEditingEnabled;
        // mnuPLMerge: off while a shortcut play list is shown and while two or
        // more play lists are selected.
        std::function<void(bool enabled)> setMergeEnabled;
        // mnuPLNew, mnuPLOpen, mnuPLRename, mnuPLSave, mnuPLSaveAs and the song
        // list: off while two or more play lists are selected.
        std::function<void(bool enabled)> setPlayListCommandsEnabled;
        // Shows the Play List menu mnuPL as a pop-up at the pointer.
        std::function<void()> showPlayListMenu;
        // Starts editing the name of the library entry in place; the edit
        // ends in lvPlayLists_AfterLabelEdit.
        std::function<void(int row)> editPlayListName;
        std::function<void(int row)> scrollToPlayList;
        // An import or a shortcut's listing begins (true, with the text that
        // tells so) or has ended: the library list takes no clicks meanwhile.
        std::function<void(bool importing, const QString &status)> setImporting;
    };

    PlayListCommands(PlayListStore &store, PlayListLibraryModel &library,
                     QItemSelectionModel &librarySelection, SongListModel &songs,
                     SongListEditor &editor, UserDialogs &dialogs);

    void setHooks(Hooks hooks);
    // Asked with the names of the play lists about to be deleted; false
    // keeps them all.
    void setDeleteCheck(std::function<bool(const QStringList &names)> check)
    {
        m_deleteCheck = std::move(check);
    }
    // Told the old and the new name after a play list was renamed.
    void setRenameListener(std::function<void(const QString &, const QString &)> listener)
    {
        m_renamed = std::move(listener);
    }

    void mnuPLNew_Click();
    // NewPlayList of the store (a new, empty, modified and selected entry),
    // with the commands enabled for a normal play list.
    void NewPlayList(const QString &name);
    // Starts the in-place edit of the selected play list's name.
    void mnuPLRename_Click();
    // Ends the edit of `row`'s name: renames the play list and its files.
    // Returns true when the play list now has the new name. A name breaking
    // the name rule is refused with a message; a name of another stored play
    // list asks before that play list is replaced; the own or an empty name
    // changes nothing.
    bool lvPlayLists_AfterLabelEdit(int row, const QString &newText);
    // Deletes the selected play lists and their stored files without asking,
    // then selects and shows the entry above the (current) selected one.
    void mnuPLDelete_Click();
    void mnuPLSave_Click();
    void mnuPLSaveAs_Click();
    // Copies the selected play list into a new one saved under a new name.
    void SavePlayListAs();
    // Asks for a folder and makes a shortcut play list of it.
    void mnuPLShortcut_Click();
    // Fills the song list with the media files of `folder` (not of its
    // subfolders), type by type in the supported order. With `isNew` it first
    // creates the entry "Shortcut to <displayName>"; an empty folder means the
    // selected entry's folder. Adding and removing songs stay disabled.
    void LoadShortcutPlayList(const QString &folder, bool isNew, const QString &displayName);
    // The store's LoadPlayList loaded a normal play list: songs can be added
    // and removed again.
    void enableSongEditing();

    // The library list's mouse events. `row` is the entry under the pointer
    // at the release, -1 for none; the view has already updated the
    // selection for the click.
    void lvPlayLists_MouseDown();
    void lvPlayLists_MouseMove();
    void lvPlayLists_MouseUp(Qt::MouseButton button, int row);
    // The user changed the library's selection by keys or by a drag: with one
    // entry selected the song list switches to it, as after a click; with two
    // or more, the commands that would write the song list are switched off.
    void followLibrarySelection();
    bool PlayListMouseMoved() const { return m_playListMouseMoved; }

    // Asks for play list files and imports each: as new play lists, or
    // appended to the shown play list when `merge`.
    void OpenPlayListFiles(bool merge);
    // Imports one PLS or M3U file: a new play list named after the file, or
    // (with `merge`) its songs appended to the shown play list. The play list
    // is marked modified and its working copy written when it is new or got
    // songs, so the next import cannot lose them. Returns the number of songs
    // added, nothing when the file could not be read (then nothing changes).
    std::optional<int> ImportPlayListFile(const QString &path, bool merge);
    // Whether an import is on its way, and the way to stop it (closing the
    // window does): the import then changes nothing and answers nothing.
    bool importing() const { return m_import != nullptr; }
    void cancelImport();
    // From an import's or a folder listing's start until its songs have
    // landed in their list: meanwhile the shown list must not change under it.
    bool jobInProgress() const { return m_jobDepth > 0; }
    // Told each time such a job has ended, its songs landed or given up.
    void setJobEndListener(std::function<void()> listener) { m_jobEnded = std::move(listener); }
    // Files dropped onto the library list: play list files are imported (with
    // Ctrl merged into the shown play list), everything else is ignored.
    void lvPlayLists_OLEDragDrop(const QStringList &paths, bool ctrl);

private:
    std::optional<int> importFile(const QString &path, bool merge);
    // Runs the job while the window goes on answering; `status` tells what
    // it does meanwhile.
    std::optional<PlayListImportJob::Result> runJob(PlayListImportJob::Reader read,
                                                    const QString &status);
    // Counts the job until the returned guard ends.
    [[nodiscard]] auto jobScope();
    int selectedCount() const;
    bool selectedIsShortcut() const;
    // Loads the entry's songs into the song list: from its working copy, or
    // from its folder for a shortcut play list.
    void showPlayList(int row);
    // Shows the entry at `row` unless it is shown already, after writing the
    // working copy of the play list left behind.
    void switchTo(int row);
    // A name for a new play list that no entry and no stored file has yet.
    QString unusedName(const QString &name) const;
    void syncCommandStates();
    void setBusy(bool busy);
    void updateStatusBar();

    PlayListStore &m_store;
    PlayListLibraryModel &m_library;
    QItemSelectionModel &m_selection;
    SongListModel &m_songs;
    SongListEditor &m_editor;
    UserDialogs &m_dialogs;
    Hooks m_hooks;
    std::function<bool(const QStringList &)> m_deleteCheck;
    PlayListImportJob *m_import = nullptr; // the import on its way, if any
    std::function<void(const QString &, const QString &)> m_renamed;
    std::function<void()> m_jobEnded;
    int m_jobDepth = 0;
    bool m_playListMouseMoved = false;
};

// A play list name made from an outside name (a list file's or a folder's): the
// characters that the name rule forbids become "_", so the name stays one
// file name inside the program folder.
QString safePlayListName(const QString &name);

// The name the folder browser shows for a folder: its last part, or the drive
// or root for a top folder.
QString folderDisplayName(const QString &folder);

// True for the files imported as play lists: .pls, .m3u and .m3u8 in any case.
bool isPlayListFile(const QString &path);
