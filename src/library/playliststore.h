#pragma once

#include <QHash>
#include <QList>
#include <QPersistentModelIndex>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

enum class DialogAnswer;
class BackgroundWriter;
class PlayListDisk;
class PlayListLibraryModel;
class QItemSelectionModel;
class SongListModel;
class UserDialogs;
class SongRow;

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
        // Runs `work`, which touches nothing but the disk and its own data,
        // while the window goes on answering; returns once it is done. Used
        // for the list loaded at start-up, when nothing plays yet and the
        // user's input waits anyway. Unset: the work runs in place.
        std::function<void(const std::function<void()> &work)> runAside;
    };

    PlayListStore(QString folder, PlayListLibraryModel &library,
                  QItemSelectionModel &librarySelection, SongListModel &songs,
                  UserDialogs &dialogs);
    ~PlayListStore();

    void setHooks(Hooks hooks);
    // The file operations to use from now on; null restores the real disk.
    // The store does not own `disk`.
    void setDisk(PlayListDisk *disk);

    // Fills the library with every stored play list and loads the first one.
    void LoadPlayLists();
    // Replaces the song list by the working copy of play list `name`.
    void LoadPlayList(const QString &name);
    // The same for the library entry at `row`: the working copy, made from the
    // stored file when missing; the stored file itself when no working copy
    // can be made. A play list that cannot be read is reported and never
    // written from the (empty) song list until a later load reads it.
    void loadPlayListAt(int row) { loadPlayListAt(row, false); }
    // Writes the song list for the selected play list: its working copy only,
    // or its stored file (asking for a name when it is still untitled).
    // Writes nothing when the selected play list is not the one the song list
    // shows, or when it could not be read. A failed write is reported.
    void SavePlayList(bool WorkingCopyOnly);
    // Writes the song list into the shown play list's working copy, as the
    // status refresh does, before the song list is replaced by another list.
    void saveShownWorkingCopy();
    // A working copy of this size or more is written by a worker thread, so
    // that the window does not wait while the disk takes it; a smaller one
    // is written at once. Until the write is done, the copy on disk holds the
    // state before the last change. Every step of the store that reads,
    // moves or deletes working copies first waits for the writes posted.
    static constexpr qint64 kBackgroundWriteBytes = 256 * 1024;
    void setBackgroundWriteThreshold(qint64 bytes) { m_backgroundBytes = bytes; }
    // Waits until every working copy posted is on disk, and reports failures.
    // Callers that touch working-copy files themselves call it first.
    void finishWrites();
    // Adds a new, empty, modified entry and selects it.
    void NewPlayList(const QString &name);
    void SetModifyedPLFlag();
    // Asks about every modified play list; true when the user cancelled.
    bool QuerySaveChanges();
    void DeleteWorkingCopies();
    // Sorts the working copies left in the program folder. Only one VORN uses
    // the folder, so any found at start-up were left by a crash, a kill or a
    // power cut: a copy holding the same songs as its stored file (in
    // whatever line ends and text encoding the stored file has), or an empty
    // one without a stored file, holds no unsaved work and is deleted; every
    // other one is kept, and LoadPlayLists shows it as its play list's unsaved
    // state (a copy whose stored file is gone as a play list of its own
    // name). Returns how many were kept. Files that cannot be read are left
    // as they are. The writer's temporary files left by a kill are removed.
    // In a folder that cannot be written nothing is deleted.
    int recoverWorkingCopies();
    // How many play lists the last recoverWorkingCopies kept.
    int recoveredCount() const { return static_cast<int>(m_recovered.size()); }
    // The status-bar note that tells the user about `count` recovered lists.
    static QString recoveryNote(int count);

    // Why the program folder cannot be written ("The play list folder ...
    // cannot be written: the disk is full."), or empty. While it is set the
    // store writes, moves and deletes nothing in the folder: the lists are
    // shown and played as they are stored.
    void setWriteProblem(const QString &problem) { m_writeProblem = problem; }
    const QString &writeProblem() const { return m_writeProblem; }
    // Probes the folder again; true when the folder can now be written.
    bool recheckWriteProblem();
    // Why the shown play list may not be changed now (the folder cannot be
    // written, or the list could not be read), or empty.
    // While an import is on its way the play lists are not to be changed.
    void setImporting(bool importing) { m_importing = importing; }
    QString editBlockReason() const;

    // The row of the selected play list, or -1.
    int selectedPlayList() const;
    void selectPlayList(int row);
    // The row of the entry whose songs the song list shows, or -1.
    int ShownPlayList() const;
    void setShownPlayList(int row);

    // "A Play List with the same name already exists, ..." with Yes, No and
    // Cancel: asked before a stored play list is replaced by another.
    DialogAnswer askOverwrite();

    // True while two or more library entries are selected: no command may
    // then change the song list, whose play list is not the only selected one.
    bool multipleSelected() const;
    // True when the shown play list is a shortcut play list (its songs are its
    // folder's and are never stored).
    bool shownIsShortcut() const;
    // True when the entry at `row` could not be read at its last load.
    bool isUnreadable(int row) const;

    // The files of a play list of this name as new files are named.
    QString storedFile(const QString &name) const;
    QString workingCopy(const QString &name) const;
    // The files of the library entry at `row`, spelt as the folder spells them.
    QString storedFileOf(int row) const;
    QString workingCopyOf(int row) const;

private:
    // `aside`: read and parse with the runAside hook (the start-up's load).
    void loadPlayListAt(int row, bool aside);
    enum class SaveResult
    {
        Saved,
        NotSaved, // nothing to save, or the user cancelled the name prompt
        Failed,   // reported to the user
    };
    // `closing`: asked by the closing question, which keeps VORN open on failure.
    SaveResult saveStoredFile(bool closing = false);
    // Asks for the name of an untitled play list; false when the user cancelled.
    bool promptForName(int row, QString &name);
    void setBusy(bool busy);
    void updateStatusBar();
    void writeWorkingCopy(int row);
    // Writes `bytes` as the working copy `target` of the play list `row`, on
    // the writer's thread when they are many. `current`: the bytes are what
    // the shown songs write, so the refresh need not write them again.
    void writeWorkingCopyBytes(int row, const QString &target, const QByteArray &bytes,
                               bool current);
    void workingCopyWritten(const QString &path, bool written, const QString &error);
    // Tells the user, once until a write succeeds again, that the changes of
    // `entry` are not kept.
    void reportUnwritable(const QModelIndex &entry, const QString &target, const QString &error);
    // Whether the working copy of `row` already holds what a write would put.
    bool workingCopyCurrent(int row, const QString &target) const;
    void rememberWorkingCopy(int row, const QString &target, qint64 size);
    // The working copy follows its play list's new name, so that no copy of
    // the old name is left to come back as a list of its own after a crash.
    void moveWorkingCopy(const QString &from, const QString &to);
    // Removes the writer's temporary files ("NAME.tmp.XXXXXX") that a kill
    // during a background write left behind.
    void removeWriterLeftovers();
    static void setMark(QList<QPersistentModelIndex> &marks, const QModelIndex &entry, bool on);
    static bool hasMark(const QList<QPersistentModelIndex> &marks, const QModelIndex &entry);

    QString m_folder;
    PlayListLibraryModel &m_library;
    QItemSelectionModel &m_selection;
    SongListModel &m_songs;
    UserDialogs &m_dialogs;
    Hooks m_hooks;
    QPersistentModelIndex m_shown;
    std::unique_ptr<PlayListDisk> m_realDisk;
    PlayListDisk *m_disk;
    // Entries whose files could not be read at their last load.
    QList<QPersistentModelIndex> m_unreadable;
    // Entries whose last working-copy write failed (reported once per failure).
    QList<QPersistentModelIndex> m_unwritable;

    // The last working copy written (or read back unchanged): whose, at which
    // state of the song list, and its size. A refresh with nothing changed
    // since then writes nothing.
    struct WrittenCopy
    {
        QPersistentModelIndex entry;
        QString path;
        QString shortcut;
        quint64 revision = 0;
        qint64 size = -1;
    };
    std::optional<WrittenCopy> m_written;
    std::unique_ptr<BackgroundWriter> m_writer;
    qint64 m_backgroundBytes = kBackgroundWriteBytes;
    // Whose working copy each write on the worker thread is.
    QHash<QString, QPersistentModelIndex> m_writing;
    // File names of the working copies recoverWorkingCopies kept.
    QStringList m_recovered;
    bool m_importing = false;
    QString m_writeProblem;
};
