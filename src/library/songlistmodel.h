#pragma once

#include "songrow.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>

#include <functional>
#include <optional>
#include <vector>

// The song list lvSongs: one row per media file, six columns in creation order.
class SongListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SongListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // The same answers as the table model's own, without its virtual calls:
    // a view lays out every row through these after each removal.
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const std::vector<SongRow> &rows() const { return m_rows; }
    const SongRow &row(int index) const { return m_rows[static_cast<size_t>(index)]; }

    void clear();
    // Replaces every row at once (one reset, however many rows). A caller
    // that has already added up playSeconds() of the rows passes the sum.
    void setRows(std::vector<SongRow> rows, std::optional<qint64> playSeconds = std::nullopt);
    void appendRow(SongRow row);
    // Appends the rows as one block (one insertion, however many rows).
    void appendRows(std::vector<SongRow> rows);
    void setRow(int index, SongRow row);
    void setTag(int index, const QString &tag);
    // Clears every row's played mark at once.
    void clearTags();
    void setIcons(int index, int icon, int smallIcon);
    // Puts the rows in a new order given as their old positions; selections
    // and CurrentSong follow their rows.
    void reorder(const std::vector<int> &order);
    // Removes the rows at the given positions. CurrentSong follows its row;
    // when that row itself goes, CurrentSong keeps its number.
    void removeRowsAt(std::vector<int> rows);
    // Stable sort by the column's text, ignoring case.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // The order sort() gives, for reorder(): row i of the sorted list is the
    // row order[i] of today's. `column` must be a column of the list.
    std::vector<int> sortedOrder(int column, Qt::SortOrder order) const;

    // The longest total play time told, 99999:59:59; a longer one reads as this.
    static constexpr qint64 kMaxPlayTime = ::kMaxPlayTime;
    // The rows' lengths added up, kept as rows come and go so that a refresh
    // costs nothing however long the list. Lengths that do not read as a
    // time count 0.
    qint64 totalPlaySeconds() const { return qMin(m_playSeconds, kMaxPlayTime); }
    // What one row adds to the total.
    static qint64 playSeconds(const SongRow &row);

    // Changes whenever what a play list file stores of the rows changes (their
    // texts or order); never repeats within the life of the model.
    quint64 contentRevision() const { return m_revision; }

    // 1-based number of the current song's row, 0 for none.
    int CurrentSong() const { return m_currentSong; }
    void setCurrentSong(int row) { m_currentSong = row; }

    // Where the row icons' pictures come from: image index and large or small.
    using ImageSource = std::function<QPixmap(int index, bool large)>;
    void setImageSource(ImageSource source);

private:
    QIcon iconOf(const SongRow &row) const;

    std::vector<SongRow> m_rows;
    int m_currentSong = 0;
    quint64 m_revision = 0;
    qint64 m_playSeconds = 0; // unbounded sum of playSeconds() of every row
    ImageSource m_images;
    mutable QHash<quint64, QIcon> m_iconCache;
};
