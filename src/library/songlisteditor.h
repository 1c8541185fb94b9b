#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class PlayListStore;
class QItemSelectionModel;
class SongListModel;
class UserDialogs;
class SongRow;

// What the user does to the rows of the song list: adding media files (with an
// estimated length), removing, moving, sorting and dropping files.
class SongListEditor
{
public:
    struct Hooks
    {
        std::function<void()> updateStatusBar;
        // Sets a new row's large and small file-type icons.
        std::function<void(SongRow &row)> assignIcons;
        // Imports a dropped .pls or .m3u list: into the shown play list when
        // `merge`, else as a new play list.
        std::function<void(const QString &path, bool merge)> importPlayListFile;
    };

    SongListEditor(SongListModel &songs, QItemSelectionModel &selection, PlayListStore &store,
                   UserDialogs &dialogs);

    void setHooks(Hooks hooks);

    // Appends one row for `file`. `fields` are "chKey=value" entries that
    // fill the columns; without them the title comes from the file name.
    // Starts a new play list when none is selected. Does not mark the play
    // list modified: callers do that once after their last file.
    void Add2PlayList(const QString &file, const QStringList &fields = {});
    // Add2PlayList for each file in order, the rows inserted as one block.
    void addFiles(const QStringList &files);
    // Rows made elsewhere (an import's), appended as one block with their
    // file-type icons; a new play list first when none is selected.
    void appendMadeRows(std::vector<SongRow> rows);
    // Asks for media files and adds them in the dialog's order.
    void AddMediaFiles();
    void RemoveSelectedSongs();
    // Moves the selected rows after DropTarget (or to the top when `before`).
    void MoveSelectedSongs(bool before);
    void moveUp();
    void moveDown();
    // Sorts by the clicked column; a second click on the sort column reverses.
    void lvSongs_ColumnClick(int column);
    // Files dropped from outside onto the row `dropRow` (-1: below the rows).
    void dropFiles(const QStringList &paths, int dropRow, bool ctrl);

    // The row under the pointer during a drag, -1 for none.
    int DropTarget = -1;

    // The row of a file without its icons: titled after the file name unless
    // fields follow. Safe on any thread.
    static SongRow rowOfFile(const QString &file, qint32 lengthSeconds, bool titled = true);
    // The rows of `files` in their order, as adding them makes them, their
    // texts packed and without icons; nothing once `stop` is set. The files
    // are looked up on two threads, the rows made on the calling one. Safe
    // on any thread.
    static std::vector<SongRow> rowsOfFiles(const QStringList &files,
                                            const std::atomic<bool> *stop = nullptr);

    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

private:
    SongRow makeRow(const QString &file, const QStringList &fields, qint32 lengthSeconds) const;
    std::vector<bool> selectionFlags() const;
    void moveCurrentOffRemovedRows(std::vector<int> rows);
    // Puts the rows in `order` (see SongListModel::reorder); the rows flagged
    // in `selected` (by today's position) stay selected.
    void applyOrder(const std::vector<int> &order, const std::vector<bool> &selected);
    void updateStatusBar();

    SongListModel &m_songs;
    QItemSelectionModel &m_selection;
    PlayListStore &m_store;
    UserDialogs &m_dialogs;
    Hooks m_hooks;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

// The title of a file added without fields: the name after the last path
// separator, without a three- or four-letter extension ("a.mp3" gives "a",
// "a.mpeg" gives "a", "b.it" stays "b.it"), as a part of `file`.
QStringView songTitleOf(QStringView file);
