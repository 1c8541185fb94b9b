#include "songlisteditor.h"

#include "core/duration.h"
#include "core/userdialogs.h"
#include "mediatypes.h"
#include "playlistcommands.h"
#include "playliststore.h"
#include "songlength.h"
#include "songlistmodel.h"
#include "songorder.h"

#include <QFileInfo>
#include <QItemSelectionModel>

#include <algorithm>


QStringView songTitleOf(QStringView file)
{
    const qsizetype slash = std::max(file.lastIndexOf(u'\\'), file.lastIndexOf(u'/'));
    const QStringView name = file.sliced(slash + 1);
    const qsizetype size = name.size();
    if (size >= 4 && name[size - 4] == u'.')
        return name.first(size - 4);
    if (size >= 5 && name[size - 5] == u'.')
        return name.first(size - 5);
    return name;
}

SongListEditor::SongListEditor(SongListModel &songs, QItemSelectionModel &selection,
                               PlayListStore &store, UserDialogs &dialogs)
    : m_songs(songs)
    , m_selection(selection)
    , m_store(store)
    , m_dialogs(dialogs)
{}

void SongListEditor::setHooks(Hooks hooks)
{
    m_hooks = std::move(hooks);
}

void SongListEditor::Add2PlayList(const QString &file, const QStringList &fields)
{
    if (m_store.selectedPlayList() < 0)
        m_store.NewPlayList(QString());
    m_songs.appendRow(makeRow(file, fields, EstimateSongLength(file)));
}

void SongListEditor::addFiles(const QStringList &files)
{
    if (files.isEmpty())
        return;
    appendMadeRows(rowsOfFiles(files));
}

std::vector<SongRow> SongListEditor::rowsOfFiles(const QStringList &files,
                                                 const std::atomic<bool> *stop)
{
    std::vector<qint32> lengths(static_cast<size_t>(files.size()));
    EstimateSongLengths(
        files, [&](qsizetype index, qint32 length) { lengths[static_cast<size_t>(index)] = length; },
        stop);
    // Made and packed a batch at a time, each batch's own texts freed before
    // the next is made: the packed texts fill the space that the made ones
    // leave, and the freed space goes back to the system in whole pages.
    constexpr size_t kBatch = 4096;
    std::vector<SongRow> rows(lengths.size());
    for (size_t first = 0; first < rows.size(); first += kBatch) {
        if (stop && stop->load())
            return {};
        const size_t end = std::min(rows.size(), first + kBatch);
        for (size_t i = first; i < end; ++i)
            rows[i] = rowOfFile(files[static_cast<qsizetype>(i)], lengths[i]);
        SongRow::packLines(std::span(rows).subspan(first, end - first));
    }
    return rows;
}

void SongListEditor::appendMadeRows(std::vector<SongRow> rows)
{
    if (rows.empty())
        return;
    if (m_store.selectedPlayList() < 0)
        m_store.NewPlayList(QString());
    if (m_hooks.assignIcons) {
        for (SongRow &row : rows)
            m_hooks.assignIcons(row);
    }
    m_songs.appendRows(std::move(rows));
}

SongRow SongListEditor::rowOfFile(const QString &file, qint32 lengthSeconds, bool titled)
{
    // Views of the file's own text: the row's line is the only copy made.
    const QString length = FormatDuration(lengthSeconds);
    std::array<QStringView, kSongColumnCount> text;
    if (titled)
        text[chTitle] = songTitleOf(file);
    text[chFile] = file;
    text[chLen] = length;
    return SongRow(text);
}

SongRow SongListEditor::makeRow(const QString &file, const QStringList &fields,
                                qint32 lengthSeconds) const
{
    SongRow row = rowOfFile(file, lengthSeconds, fields.isEmpty());
    // The icons are the added file's, whatever the fields say.
    if (m_hooks.assignIcons)
        m_hooks.assignIcons(row);

    for (const QString &entry : fields) {
        if (entry.isEmpty())
            continue;
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        const QStringView key = equals < 0 ? QStringView(entry) : QStringView(entry).left(equals);
        const std::optional<SongColumn> column = songColumnFromKey(key);
        if (column)
            row.setField(*column,
                         equals < 0 ? QStringView() : QStringView(entry).sliced(equals + 1));
    }
    return row;
}

void SongListEditor::AddMediaFiles()
{
    if (m_store.multipleSelected())
        return;
    const QStringList files =
        m_dialogs.openFileNames(QStringLiteral("Open Media Files"), mediaFileFilter());
    if (files.isEmpty())
        return;
    addFiles(files);
    m_store.SetModifyedPLFlag();
    updateStatusBar();
}

void SongListEditor::RemoveSelectedSongs()
{
    if (m_store.multipleSelected())
        return;
    std::vector<int> rows;
    for (const QModelIndex &index : m_selection.selectedRows())
        rows.push_back(index.row());
    if (rows.empty())
        return;
    moveCurrentOffRemovedRows(rows);
    m_songs.removeRowsAt(std::move(rows));
    updateStatusBar();
    m_store.SetModifyedPLFlag();
}

void SongListEditor::moveCurrentOffRemovedRows(std::vector<int> rows)
{
    const QModelIndex current = m_selection.currentIndex();
    if (!current.isValid())
        return;
    std::sort(rows.begin(), rows.end());
    const auto removed = [&](int row) { return std::binary_search(rows.begin(), rows.end(), row); };
    if (!removed(current.row()))
        return;
    // Where the selection model moves a current row that goes: above its run
    // of removed rows, else below it. Moved there during the removal, it makes
    // the view scroll while its items are torn down, and lay out every row
    // once more; moved first, it is where it would end, at no cost.
    int first = current.row();
    int last = current.row();
    while (removed(first - 1))
        --first;
    while (removed(last + 1))
        ++last;
    const int next = first > 0 ? first - 1 : last + 1;
    if (next < m_songs.rowCount())
        m_selection.setCurrentIndex(m_songs.index(next, current.column()),
                                    QItemSelectionModel::NoUpdate);
}

std::vector<bool> SongListEditor::selectionFlags() const
{
    std::vector<bool> flags(static_cast<size_t>(m_songs.rowCount()), false);
    for (const QItemSelectionRange &range : m_selection.selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            flags[static_cast<size_t>(row)] = true;
    }
    return flags;
}

void SongListEditor::applyOrder(const std::vector<int> &order, const std::vector<bool> &selected)
{
    bool changed = false;
    for (size_t i = 0; i < order.size() && !changed; ++i)
        changed = order[i] != static_cast<int>(i);
    if (!changed)
        return;
    // Through a change of order the selection model follows every selected
    // row on its own, which with most of 100,000 rows selected takes a third
    // of a second. Where the rows go is known here: the selection is taken
    // off before the move and the same rows are selected at their new places
    // after it, one range per run of rows, as the model would have left it.
    std::vector<std::pair<int, int>> runs;
    for (size_t i = 0; i < order.size();) {
        if (!selected[static_cast<size_t>(order[i])]) {
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < order.size() && selected[static_cast<size_t>(order[end])])
            ++end;
        runs.emplace_back(static_cast<int>(i), static_cast<int>(end - 1));
        i = end;
    }
    if (!runs.empty())
        m_selection.clearSelection();
    m_songs.reorder(order);
    if (runs.empty())
        return;
    // Made after the move: a selection holds its corners as persistent
    // indexes, which the move would carry along.
    QItemSelection after;
    for (const auto &[top, bottom] : runs)
        after.append(QItemSelectionRange(m_songs.index(top, 0),
                                         m_songs.index(bottom, kSongColumnCount - 1)));
    m_selection.select(after, QItemSelectionModel::Select);
}

void SongListEditor::MoveSelectedSongs(bool before)
{
    if (DropTarget < 0 || DropTarget >= m_songs.rowCount())
        return;
    const std::vector<bool> selected = selectionFlags();
    applyOrder(SongOrder::moveSelection(selected, DropTarget, before), selected);
}

void SongListEditor::moveUp()
{
    const std::vector<bool> selected = selectionFlags();
    applyOrder(SongOrder::moveUp(selected), selected);
}

void SongListEditor::moveDown()
{
    const std::vector<bool> selected = selectionFlags();
    applyOrder(SongOrder::moveDown(selected), selected);
}

void SongListEditor::lvSongs_ColumnClick(int column)
{
    if (column == m_sortColumn) {
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        m_sortColumn = column;
        m_sortOrder = Qt::AscendingOrder;
    }
    if (m_sortColumn >= 0 && m_sortColumn < kSongColumnCount)
        applyOrder(m_songs.sortedOrder(m_sortColumn, m_sortOrder), selectionFlags());
}

void SongListEditor::dropFiles(const QStringList &paths, int dropRow, bool ctrl)
{
    // With several play lists selected the song list belongs to none of them
    // alone: the drop is refused, as Add and Remove are.
    if (m_store.multipleSelected())
        return;
    int before = m_songs.rowCount();
    // A play list file dropped without Ctrl becomes a new play list, which
    // the song list then shows: the drop point no longer names one of its rows.
    bool replaced = false;
    bool changed = false;
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir())
            continue;
        if (isSupportedMediaType(lowerExtension(path))) {
            // A shortcut play list stores only its folder: its songs are the
            // folder's, so dropped ones would vanish at the next load.
            if (m_store.shownIsShortcut())
                continue;
            Add2PlayList(path);
            changed = true;
        } else if (isPlayListFile(path) && m_hooks.importPlayListFile) {
            // The import replaces the song list: songs dropped before it are
            // kept in the working copy of the play list they went to.
            if (!ctrl && m_songs.rowCount() > before)
                m_store.SetModifyedPLFlag();
            m_hooks.importPlayListFile(path, ctrl);
            changed = true;
            if (!ctrl) {
                replaced = true;
                before = m_songs.rowCount();
            }
        }
    }
    if (!changed)
        return;

    const int after = m_songs.rowCount();
    if (after > before) {
        m_selection.select(QItemSelection(m_songs.index(before, 0),
                                          m_songs.index(after - 1, kSongColumnCount - 1)),
                           QItemSelectionModel::ClearAndSelect);
        if (!replaced) {
            DropTarget = dropRow;
            MoveSelectedSongs(false);
        }
    }
    m_store.SetModifyedPLFlag();
    updateStatusBar();
}

void SongListEditor::updateStatusBar()
{
    if (m_hooks.updateStatusBar)
        m_hooks.updateStatusBar();
}
