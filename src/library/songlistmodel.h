#pragma once

#include "songrow.h"

#include <QAbstractTableModel>

#include <vector>

// The song list lvSongs: one row per media file, six columns in creation order.
class SongListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SongListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const std::vector<SongRow> &rows() const { return m_rows; }
    const SongRow &row(int index) const { return m_rows[static_cast<size_t>(index)]; }

    void clear();
    // Replaces every row at once (one reset, however many rows).
    void setRows(std::vector<SongRow> rows);
    void appendRow(SongRow row);

private:
    std::vector<SongRow> m_rows;
};
